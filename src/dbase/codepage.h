// Code pages of dBase tables: the language-driver byte (LDID, header byte
// 29) picks a single-byte code page; text inside the program is UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/text.h"

namespace pasarela::dbase {

class CodePage {
 public:
  // Code page number of a language driver; unknown or zero means 1252.
  static int numberForLdid(std::uint8_t ldid);
  // The shared converter of a code page number (437, 850, 1252, ...).
  static const CodePage& forNumber(int number);
  static const CodePage& forLdid(std::uint8_t ldid) { return forNumber(numberForLdid(ldid)); }

  int number() const { return number_; }
  // Plain ASCII reads and writes the same in every code page and in UTF-8.
  static bool plainAscii(std::string_view s) {
    // Eight bytes at a time: no byte of a word has its high bit set. The
    // last bytes are taken in words that overlap those already seen, not
    // one by one.
    const char* p = s.data();
    const std::size_t n = s.size();
    std::uint64_t bits = 0;
    if (n >= 8) {
      for (std::size_t i = 0; i + 8 <= n; i += 8) bits |= text::readLe64(p + i);
      bits |= text::readLe64(p + n - 8);
    } else if (n >= 4) {
      bits = text::readLe32(p) | text::readLe32(p + n - 4);
    } else if (n > 0) {
      bits = static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[n / 2]) |
             static_cast<unsigned char>(p[n - 1]);
    }
    return (bits & 0x8080808080808080ULL) == 0;
  }
  // Bytes of this code page to UTF-8.
  std::string toUtf8(std::string_view bytes) const;
  // UTF-8 to bytes of this code page; a character the code page lacks (or a
  // broken UTF-8 sequence) becomes '?'. One character is one byte, so
  // cutting the result to a field's size counts characters.
  std::string fromUtf8(std::string_view text) const;

  explicit CodePage(int number);

 private:
  int number_;
  std::string decode_[256];
  // The byte of each code point above 0x7F the page can write, sorted by
  // code point; where two bytes read as one code point, the lower byte.
  std::vector<std::pair<char32_t, char>> encode_;
  // The byte of each code point 0x80 to 0xFF, where the letters of the
  // Latin pages lie, without a search.
  char latin_[128] = {};
  char byteOf(char32_t cp) const;  // '?' when the page lacks it
};

}  // namespace pasarela::dbase
