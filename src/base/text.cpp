#include "base/text.h"

namespace pasarela::text {

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string upperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = upperAscii(c);
  return out;
}

std::string lowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = lowerAscii(c);
  return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upperAscii(a[i]) != upperAscii(b[i])) return false;
  }
  return true;
}

std::string_view trim(std::string_view s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  std::size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

std::string_view trimRight(std::string_view s) {
  std::size_t e = s.find_last_not_of(" \t");
  return e == std::string_view::npos ? std::string_view() : s.substr(0, e + 1);
}

namespace {
std::uint8_t byteAt(const void* p, std::size_t i) { return static_cast<const std::uint8_t*>(p)[i]; }
}  // namespace

std::uint16_t readLe16(const void* p) {
  return static_cast<std::uint16_t>(byteAt(p, 0) | (byteAt(p, 1) << 8));
}

std::uint32_t readLe32(const void* p) {
  return static_cast<std::uint32_t>(byteAt(p, 0)) | static_cast<std::uint32_t>(byteAt(p, 1)) << 8 |
         static_cast<std::uint32_t>(byteAt(p, 2)) << 16 | static_cast<std::uint32_t>(byteAt(p, 3)) << 24;
}

std::uint64_t readLe64(const void* p) {
  return static_cast<std::uint64_t>(readLe32(p)) |
         static_cast<std::uint64_t>(readLe32(static_cast<const std::uint8_t*>(p) + 4)) << 32;
}

void writeLe16(void* p, std::uint16_t v) {
  auto* b = static_cast<std::uint8_t*>(p);
  b[0] = static_cast<std::uint8_t>(v);
  b[1] = static_cast<std::uint8_t>(v >> 8);
}

void writeLe32(void* p, std::uint32_t v) {
  auto* b = static_cast<std::uint8_t*>(p);
  for (int i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t readBe32(const void* p) {
  return static_cast<std::uint32_t>(byteAt(p, 0)) << 24 | static_cast<std::uint32_t>(byteAt(p, 1)) << 16 |
         static_cast<std::uint32_t>(byteAt(p, 2)) << 8 | static_cast<std::uint32_t>(byteAt(p, 3));
}

char32_t nextCodePoint(std::string_view s, std::size_t& at) {
  constexpr char32_t kReplacement = 0xFFFD;
  const auto b0 = static_cast<unsigned char>(s[at]);
  if (b0 < 0x80) {
    ++at;
    return b0;
  }
  int extra = b0 >= 0xF0 && b0 <= 0xF4 ? 3 : b0 >= 0xE0 ? 2 : b0 >= 0xC2 && b0 < 0xE0 ? 1 : 0;
  if (b0 >= 0xF5) extra = 0;
  if (extra == 0 || at + static_cast<std::size_t>(extra) >= s.size()) {
    ++at;
    return kReplacement;
  }
  char32_t cp = b0 & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    const auto b = static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
    if ((b & 0xC0) != 0x80) {
      ++at;
      return kReplacement;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are malformed.
  const char32_t least[] = {0, 0x80, 0x800, 0x10000};
  if (cp < least[extra] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
    ++at;
    return kReplacement;
  }
  at += static_cast<std::size_t>(extra) + 1;
  return cp;
}

void appendUtf8(std::string& out, char32_t cp) {
  if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = 0xFFFD;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace pasarela::text
