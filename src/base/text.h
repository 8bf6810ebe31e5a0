// Small text helpers the whole program shares: ASCII case, blanks, the
// little-endian numbers of file formats, and UTF-8 walking.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace pasarela::text {

char upperAscii(char c);
char lowerAscii(char c);
std::string upperAscii(std::string_view s);
std::string lowerAscii(std::string_view s);

// True when a and b differ at most in the case of ASCII letters.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

// Without leading and trailing blanks (spaces and tabs).
std::string_view trim(std::string_view s);
std::string_view trimRight(std::string_view s);

// Little-endian numbers at `p` (no alignment needed). Inline: the engine
// reads them for every field of every record, and reads text eight bytes
// at a time with them. On a little-endian host a number is one load.
inline std::uint8_t byteAt(const void* p, std::size_t i) { return static_cast<const std::uint8_t*>(p)[i]; }
template <typename Number>
Number readLe(const void* p) {
  Number v = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&v, p, sizeof v);
  } else {
    for (std::size_t i = sizeof v; i-- > 0;) v = static_cast<Number>(v << 8 | byteAt(p, i));
  }
  return v;
}
inline std::uint16_t readLe16(const void* p) { return readLe<std::uint16_t>(p); }
inline std::uint32_t readLe32(const void* p) { return readLe<std::uint32_t>(p); }
inline std::uint64_t readLe64(const void* p) { return readLe<std::uint64_t>(p); }
inline void writeLe16(void* p, std::uint16_t v) {
  auto* b = static_cast<std::uint8_t*>(p);
  b[0] = static_cast<std::uint8_t>(v);
  b[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void writeLe32(void* p, std::uint32_t v) {
  auto* b = static_cast<std::uint8_t*>(p);
  for (int i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
// Big-endian, as some memo headers store them.
inline std::uint32_t readBe32(const void* p) {
  return static_cast<std::uint32_t>(byteAt(p, 0)) << 24 | static_cast<std::uint32_t>(byteAt(p, 1)) << 16 |
         static_cast<std::uint32_t>(byteAt(p, 2)) << 8 | static_cast<std::uint32_t>(byteAt(p, 3));
}

// The code point starting at s[at]; `at` moves past it. A malformed or
// truncated sequence yields U+FFFD and moves one byte.
char32_t nextCodePoint(std::string_view s, std::size_t& at);
// Appends the UTF-8 form of a code point (U+FFFD for one out of range).
void appendUtf8(std::string& out, char32_t cp);

}  // namespace pasarela::text
