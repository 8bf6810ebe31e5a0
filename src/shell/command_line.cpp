#include "shell/command_line.h"

#include "base/error.h"

namespace pasarela::shell {

std::string lowerAsciiLetters(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::uint32_t parseHostHandle(const std::string& text) {
  const std::string converted = "$" + text;
  const auto invalid = [&] { return Error("'" + converted + "' no es un valor entero válido"); };
  if (text.empty()) throw invalid();
  std::uint64_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      throw invalid();
    value = value * 16 + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFull) throw invalid();
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace pasarela::shell
