#include "data/text_cut.h"

namespace pasarela {

std::size_t charBytesAt(const std::string& text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  std::size_t len = 1;
  if (lead >= 0xC2 && lead <= 0xDF)
    len = 2;
  else if (lead >= 0xE0 && lead <= 0xEF)
    len = 3;
  else if (lead >= 0xF0 && lead <= 0xF4)
    len = 4;
  if (i + len > text.size()) return 1;
  for (std::size_t k = 1; k < len; ++k)
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 1;
  return len;
}

std::string firstChars(const std::string& text, std::size_t count) {
  std::size_t end = 0;
  for (std::size_t taken = 0; end < text.size() && taken < count; ++taken) end += charBytesAt(text, end);
  return text.substr(0, end);
}

std::size_t charLength(const std::string& text) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size(); i += charBytesAt(text, i)) ++n;
  return n;
}

}  // namespace pasarela
