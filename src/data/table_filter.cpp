#include "data/table_filter.h"

#include <cctype>

namespace pasarela {
namespace {

std::string trimRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

}  // namespace

std::optional<FieldFilter> parseFilter(const std::string& text) {
  std::size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  };
  skipBlanks();
  FieldFilter f;
  while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_'))
    f.field += text[i++];
  if (f.field.empty()) return std::nullopt;
  skipBlanks();
  if (i >= text.size() || text[i] != '=') return std::nullopt;
  ++i;
  skipBlanks();
  if (i >= text.size() || text[i] != '\'') return std::nullopt;
  ++i;
  bool closed = false;
  while (i < text.size()) {
    char c = text[i++];
    if (c == '\'') {
      if (i < text.size() && text[i] == '\'') {
        f.value += '\'';
        ++i;
        continue;
      }
      closed = true;
      break;
    }
    f.value += c;
  }
  if (!closed) return std::nullopt;
  skipBlanks();
  if (i != text.size()) return std::nullopt;
  f.value = trimRight(f.value);
  return f;
}

bool filterMatches(const FieldFilter& filter, const std::string& fieldText) {
  return trimRight(fieldText) == filter.value;
}

}  // namespace pasarela
