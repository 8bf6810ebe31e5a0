#include "dbase/codepage.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "base/text.h"
#include "dbase/codepage_tables.h"

namespace pasarela::dbase {

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
  const HighCodePoints* table = highCodePoints(number);
  if (!table) table = highCodePoints(1252);
  for (int b = 128; b < 256; ++b) {
    char32_t cp = (*table)[static_cast<std::size_t>(b - 128)];
    // A byte the page leaves undefined reads as the C1 control of that value,
    // so that it survives a round trip.
    text::appendUtf8(decode_[b], cp ? cp : static_cast<char32_t>(b));
    encode_.emplace_back(cp ? cp : static_cast<char32_t>(b), static_cast<char>(b));
  }
  // Stable, so that of two bytes with one code point the lower stays first.
  std::stable_sort(encode_.begin(), encode_.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (char32_t cp = 0x80; cp < 0x100; ++cp) latin_[cp - 0x80] = byteOf(cp);
}

std::string CodePage::toUtf8(std::string_view bytes) const {
  if (plainAscii(bytes)) return std::string(bytes);
  // Written in place: a byte gives at most three bytes of UTF-8.
  std::string out(bytes.size() * 3, '\0');
  char* o = out.data();
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      *o++ = c;
    } else {
      const std::string& utf8 = decode_[b];
      std::memcpy(o, utf8.data(), utf8.size());
      o += utf8.size();
    }
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
  return out;
}

std::string CodePage::fromUtf8(std::string_view text) const {
  if (plainAscii(text)) return std::string(text);
  // Written in place: a character gives one byte and takes at least one.
  std::string out(text.size(), '\0');
  char* o = out.data();
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80) {
      *o++ = static_cast<char>(b0);
      ++i;
      continue;
    }
    char32_t cp;
    const auto b1 = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (b0 >= 0xC2 && b0 <= 0xDF && (b1 & 0xC0) == 0x80) {
      // Two bytes, as every letter of the Latin pages is.
      cp = static_cast<char32_t>((b0 & 0x1F) << 6 | (b1 & 0x3F));
      i += 2;
    } else {
      cp = text::nextCodePoint(text, i);
    }
    *o++ = cp < 0x80 ? static_cast<char>(cp) : cp < 0x100 ? latin_[cp - 0x80] : byteOf(cp);
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
  return out;
}

char CodePage::byteOf(char32_t cp) const {
  auto it = std::lower_bound(encode_.begin(), encode_.end(), cp,
                             [](const auto& entry, char32_t c) { return entry.first < c; });
  return it != encode_.end() && it->first == cp ? it->second : '?';
}

}  // namespace pasarela::dbase
