// A minimal dBase IV table writer for the index tests, so they can pair an
// .MDX with its table without the table engine.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace pasarela::test {

struct MiniField {
  std::string name;
  char type = 'C';  // C or N
  int length = 10;
  int decimals = 0;
};

// Rows hold each field's text: C values are padded, N values right-aligned.
inline void writeMiniDbf(const std::filesystem::path& file, const std::vector<MiniField>& fields,
                         const std::vector<std::vector<std::string>>& rows, std::uint8_t ldid,
                         bool hasMdx = true) {
  std::size_t recordLength = 1;
  for (const MiniField& f : fields) recordLength += static_cast<std::size_t>(f.length);
  const std::size_t headerLength = 32 + 32 * fields.size() + 1;
  std::string out(headerLength, '\0');
  out[0] = 0x03;
  out[1] = 126;
  out[2] = 1;
  out[3] = 1;
  const auto n = static_cast<std::uint32_t>(rows.size());
  for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<char>((n >> (8 * i)) & 0xFF);
  out[8] = static_cast<char>(headerLength & 0xFF);
  out[9] = static_cast<char>(headerLength >> 8);
  out[10] = static_cast<char>(recordLength & 0xFF);
  out[11] = static_cast<char>(recordLength >> 8);
  out[28] = hasMdx ? 1 : 0;
  out[29] = static_cast<char>(ldid);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    char* d = out.data() + 32 + 32 * i;
    fields[i].name.copy(d, 10);
    d[11] = fields[i].type;
    d[16] = static_cast<char>(fields[i].length);
    d[17] = static_cast<char>(fields[i].decimals);
  }
  out[headerLength - 1] = 0x0D;
  for (const auto& row : rows) {
    out += ' ';
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const std::size_t len = static_cast<std::size_t>(fields[i].length);
      std::string v = i < row.size() ? row[i].substr(0, len) : std::string();
      if (fields[i].type == 'N')
        out += std::string(len - v.size(), ' ') + v;
      else
        out += v + std::string(len - v.size(), ' ');
    }
  }
  out += '\x1A';
  std::ofstream(file, std::ios::binary).write(out.data(), static_cast<std::streamsize>(out.size()));
}

}  // namespace pasarela::test
