// The .DBF header: version byte, counts, language driver and the field
// descriptors of every common dialect (dBase III/IV, dBase 7 with 48-byte
// descriptors, FoxBASE/FoxPro 2.x, Visual FoxPro with field flags, backlink
// area and the _NullFlags system field).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pasarela::dbase {

enum class Dialect { DBase3, DBase4, DBase7, FoxPro, VisualFoxPro };
enum class MemoKind { None, Dbt3, Dbt4, Fpt };

struct Field {
  std::string name;  // as stored (ASCII)
  char type = 'C';
  int length = 0;
  int decimals = 0;
  int offset = 0;          // from the start of the record (byte 0 is the deletion flag)
  std::uint8_t flags = 0;  // Visual FoxPro field flags
  bool system = false;     // hidden system field (_NullFlags)
  int nullBit = -1;        // bit in _NullFlags, Visual FoxPro nullable fields
  bool indexed = false;    // descriptor says a production tag indexes it

  bool isMemo() const;  // value lives in the memo file
};

struct Header {
  std::uint8_t version = 0x03;
  Dialect dialect = Dialect::DBase4;
  MemoKind memo = MemoKind::None;
  int year = 0, month = 0, day = 0;
  std::uint32_t recordCount = 0;  // what the file really holds (see parseHeader)
  std::uint32_t statedCount = 0;  // what bytes 4-7 say
  std::uint32_t headerLength = 0;
  std::uint32_t recordLength = 0;
  bool productionIndex = false;  // byte 28
  std::uint8_t ldid = 0;         // byte 29
  std::vector<Field> fields;     // system fields included
  int nullFlagsField = -1;       // index in `fields`, or -1

  bool hasMemoFields() const;
};

// Parses a header. `bytes` holds the start of the file (at most its first
// 64 KiB), `fileSize` its size; `fileName` names the file in messages.
// Throws pasarela::Error for a header that cannot be read; a record count
// beyond the end of the file is cut to the records really there.
Header parseHeader(const std::string& bytes, std::uint64_t fileSize, const std::string& fileName);

// The bytes of a dBase IV header (descriptors, 0x0D) for new tables.
std::string buildHeader(const Header& header);

// Writes today's date into bytes 1-3 and `count` into bytes 4-7 of `header`.
void stampHeader(char* header8, std::uint32_t count);

}  // namespace pasarela::dbase
