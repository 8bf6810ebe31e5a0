// The index tests' tables, written with the shared DBF builder, so they can
// pair an .MDX with its table without the table engine.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/dbf_builder.h"

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
  std::vector<RawField> raw;
  for (const MiniField& f : fields) raw.push_back({f.name, f.type, f.length, f.decimals});
  std::vector<std::string> records;
  for (const auto& row : rows) {
    std::string record;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const std::size_t len = static_cast<std::size_t>(fields[i].length);
      std::string v = i < row.size() ? row[i].substr(0, len) : std::string();
      record +=
          fields[i].type == 'N' ? std::string(len - v.size(), ' ') + v : v + std::string(len - v.size(), ' ');
    }
    records.push_back(record);
  }
  writeFile(file.string(), buildDbf(0x03, raw, records, ldid, hasMdx));
}

}  // namespace pasarela::test
