// A small writer for the two school tables the table engine does not write:
// `alumnos`, a FoxPro table (version 0xF5) with its .fpt memo file, and
// `profesor`, whose leaving date is a dBase date field. Records are kept in
// memory and the files written at once.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pasarela::sample {

struct RawField {
  std::string name;  // upper case, at most 10 characters
  char type = 'C';   // C N D L M
  int length = 0;    // ignored for D (8), L (1) and M (10)
  int decimals = 0;
};

enum class RawFormat {
  FoxPro,  // 0xF5, memo fields in <name>.fpt, code page byte 0x03 (Windows-1252)
  DBase,   // 0x03, no memo fields, code page byte 0x57 (Windows-1252)
};

class RawDbfWriter {
 public:
  RawDbfWriter(RawFormat format, std::vector<RawField> fields);

  // One record; values by field, in field order, UTF-8 text:
  // C text (cut to the field), N a number's text (empty: blank field),
  // D "YYYYMMDD" or empty, L "T"/"F" or empty, M memo text or empty.
  void addRecord(const std::vector<std::string>& values);
  std::size_t recordCount() const { return records_.size(); }

  // Writes <dbfPath> and, for a FoxPro table with memo fields, the .fpt
  // beside it (same name, extension in the same case as the .dbf's).
  // `updated` is the header's date of last update (year, month, day).
  void write(const std::filesystem::path& dbfPath, int year, int month, int day) const;

 private:
  RawFormat format_;
  std::vector<RawField> fields_;
  std::vector<int> offsets_;
  int recordLength_ = 1;
  std::vector<std::string> records_;  // raw record bytes
  std::string memo_;                  // .fpt blocks after the header
  std::uint32_t nextMemoBlock_ = 0;
};

}  // namespace pasarela::sample
