// Builds .DBF bytes by hand, for dialects and damage no library here writes
// and for tables the tests of the index need without the table engine.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace pasarela::test {

struct RawField {
  std::string name;
  char type;
  int length;
  int decimals = 0;
  std::uint8_t flags = 0;
};

inline void put16(std::string& b, std::size_t at, unsigned v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
inline void put32(std::string& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// `records` are the record bytes after the deletion flag (" " prepended).
inline std::string buildDbf(std::uint8_t version, const std::vector<RawField>& fields,
                            const std::vector<std::string>& records, std::uint8_t ldid = 0x57,
                            bool productionIndex = false) {
  const bool dbase7 = (version & 0x07) == 4;
  const std::size_t desc = dbase7 ? 48 : 32;
  const std::size_t start = dbase7 ? 68 : 32;
  const bool vfp = version == 0x30 || version == 0x31 || version == 0x32;
  std::string b(start + desc * fields.size() + 1 + (vfp ? 263 : 0), '\0');
  b[0] = static_cast<char>(version);
  b[1] = 124;
  b[2] = 5;
  b[3] = 6;
  put32(b, 4, static_cast<std::uint32_t>(records.size()));
  put16(b, 8, static_cast<unsigned>(b.size()));
  unsigned recordLength = 1;
  for (const RawField& f : fields) recordLength += static_cast<unsigned>(f.length);
  put16(b, 10, recordLength);
  b[28] = productionIndex ? 1 : 0;
  b[29] = static_cast<char>(ldid);
  std::size_t at = start;
  for (const RawField& f : fields) {
    b.replace(at, f.name.size(), f.name);
    if (dbase7) {
      b[at + 32] = f.type;
      b[at + 33] = static_cast<char>(f.length);
      b[at + 34] = static_cast<char>(f.decimals);
    } else {
      b[at + 11] = f.type;
      b[at + 16] = static_cast<char>(f.length);
      b[at + 17] = static_cast<char>(f.decimals);
      b[at + 18] = static_cast<char>(f.flags);
    }
    at += desc;
  }
  b[at] = 0x0D;
  for (const std::string& r : records) {
    std::string rec = " " + r;
    rec.resize(recordLength, ' ');
    b += rec;
  }
  b += '\x1A';
  return b;
}

inline void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace pasarela::test
