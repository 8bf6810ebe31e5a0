#include "cli/language.h"

#include "cli/options.h"

namespace pasarela::cli {
namespace {

// Lower case ASCII, and the accented a's (à, á, À, Á in UTF-8) as a plain a.
std::string folded(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == 0xC3 && i + 1 < text.size()) {
      const unsigned char n = static_cast<unsigned char>(text[i + 1]);
      if (n == 0xA0 || n == 0xA1 || n == 0x80 || n == 0x81) {
        out += 'a';
        ++i;
        continue;
      }
    }
    out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
  }
  return out;
}

}  // namespace

std::string languageFromCommandLine(const std::string& text) {
  const std::string key = folded(text);
  if (key == "valencia") return kValencian;
  if (key == "castellano") return kCastilian;
  throw UsageError("valor no válido para --lang: '" + text + "' (valencià o castellano)");
}

}  // namespace pasarela::cli
