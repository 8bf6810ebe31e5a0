#include "dbase/codepage.h"

#include <iconv.h>

#include <map>
#include <memory>
#include <mutex>

namespace pasarela::dbase {
namespace {

void appendUtf8(std::string& out, char32_t cp) {
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

// Next code point of UTF-8 text; 0xFFFFFFFF for a broken sequence (one byte
// consumed).
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
  unsigned char c = static_cast<unsigned char>(s[i++]);
  if (c < 0x80) return c;
  int extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : -1;
  if (extra < 0 || i + static_cast<std::size_t>(extra) > s.size()) return 0xFFFFFFFF;
  char32_t cp = c & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    unsigned char n = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
    if ((n & 0xC0) != 0x80) return 0xFFFFFFFF;
    cp = (cp << 6) | (n & 0x3F);
  }
  i += static_cast<std::size_t>(extra);
  return cp;
}

std::string iconvName(int number) {
  if (number >= 1250 && number <= 1258) return "WINDOWS-" + std::to_string(number);
  return "CP" + std::to_string(number);
}

// The code point iconv gives one byte of a code page, 0 when it has none.
char32_t decodeByte(iconv_t cd, unsigned char byte) {
  char in[1] = {static_cast<char>(byte)};
  char32_t out[2] = {0, 0};
  char* inp = in;
  std::size_t inLeft = 1;
  char* outp = reinterpret_cast<char*>(out);
  std::size_t outLeft = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1)) return 0;
  return out[0];
}

}  // namespace

int CodePage::numberForLdid(std::uint8_t ldid) {
  switch (ldid) {
    case 0x01:
    case 0x09:
    case 0x0B:
    case 0x0D:
    case 0x0F:
    case 0x11:
    case 0x15:
    case 0x18:
    case 0x19:
    case 0x1B:
      return 437;
    case 0x02:
    case 0x0A:
    case 0x0E:
    case 0x10:
    case 0x12:
    case 0x14:
    case 0x16:
    case 0x1A:
    case 0x1D:
    case 0x25:
    case 0x37:
      return 850;
    case 0x1F:
    case 0x22:
    case 0x23:
    case 0x40:
    case 0x64:
    case 0x87:
      return 852;
    case 0x08:
    case 0x17:
    case 0x66:
      return 865;
    case 0x24:
      return 860;
    case 0x1C:
      return 863;
    case 0x26:
    case 0x65:
      return 866;
    case 0x67:
      return 861;
    case 0x6A:
    case 0x86:
      return 737;
    case 0x6B:
    case 0x88:
      return 857;
    case 0xC8:
      return 1250;
    case 0xC9:
      return 1251;
    case 0xCA:
      return 1254;
    case 0xCB:
      return 1253;
    case 0xCC:
      return 1257;
    default:
      // 0x03, 0x57, 0x58, 0x59, zero, unknown drivers and the multi-byte
      // Asian pages, which a single-byte engine cannot hold.
      return 1252;
  }
}

const CodePage& CodePage::forNumber(int number) {
  // Asked for on every text read and written: each thread keeps its last
  // answer (pages live as long as the program).
  thread_local int lastNumber = -1;
  thread_local const CodePage* last = nullptr;
  if (number == lastNumber) return *last;
  static std::mutex mutex;
  static std::map<int, std::unique_ptr<CodePage>> pages;
  std::lock_guard<std::mutex> lock(mutex);
  auto& slot = pages[number];
  if (!slot) slot = std::make_unique<CodePage>(number);
  lastNumber = number;
  last = slot.get();
  return *slot;
}

CodePage::CodePage(int number) : number_(number) {
  for (int b = 0; b < 128; ++b) decode_[b] = std::string(1, static_cast<char>(b));
  iconv_t cd = iconv_open("UTF-32LE", iconvName(number).c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-32LE", "WINDOWS-1252");
  for (int b = 128; b < 256; ++b) {
    char32_t cp = cd == reinterpret_cast<iconv_t>(-1) ? 0 : decodeByte(cd, static_cast<unsigned char>(b));
    high_[b - 128] = cp;
    // A byte the page leaves undefined reads as the C1 control of that value,
    // so that it survives a round trip.
    appendUtf8(decode_[b], cp ? cp : static_cast<char32_t>(b));
  }
  if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
}

std::string CodePage::toUtf8(std::string_view bytes) const {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    unsigned char b = static_cast<unsigned char>(c);
    if (b < 0x80)
      out += c;
    else
      out += decode_[b];
  }
  return out;
}

std::string CodePage::fromUtf8(std::string_view text) const {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    char32_t cp = nextCodePoint(text, i);
    if (cp < 0x80) {
      out += static_cast<char>(cp);
      continue;
    }
    char byte = '?';
    for (int b = 0; b < 128; ++b) {
      if (high_[b] == cp || (high_[b] == 0 && cp == static_cast<char32_t>(b + 128))) {
        byte = static_cast<char>(b + 128);
        break;
      }
    }
    out += byte;
  }
  return out;
}

}  // namespace pasarela::dbase
