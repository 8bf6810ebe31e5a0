// Small text helpers the whole program shares: ASCII case, blanks, the
// little-endian numbers of file formats, and UTF-8 walking.
#pragma once

#include <cstddef>
#include <cstdint>
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

// Little-endian numbers at `p` (no alignment needed).
std::uint16_t readLe16(const void* p);
std::uint32_t readLe32(const void* p);
std::uint64_t readLe64(const void* p);
void writeLe16(void* p, std::uint16_t v);
void writeLe32(void* p, std::uint32_t v);
// Big-endian, as some memo headers store them.
std::uint32_t readBe32(const void* p);

// The code point starting at s[at]; `at` moves past it. A malformed or
// truncated sequence yields U+FFFD and moves one byte.
char32_t nextCodePoint(std::string_view s, std::size_t& at);
// Appends the UTF-8 form of a code point (U+FFFD for one out of range).
void appendUtf8(std::string& out, char32_t cp);

}  // namespace pasarela::text
