// The dBase IV production index (.MDX): read and write whole files.
//
// The table keeps every tag's entries in memory, in index order, and hands
// them here to be written; a file written by other dBase software is read
// into the same form. Key bytes are what the file stores: character keys are
// the field's bytes in the table's code page padded with blanks to the key
// length; numeric keys are the 12-byte dBase BCD form (encodeNumericKey);
// date keys the Julian day number as a little-endian double (encodeDateKey).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "dbase/collation.h"

namespace pasarela::dbase {

enum class KeyType : char { Character = 'C', Numeric = 'N', Date = 'D' };

struct MdxTagLayout {
  std::string name;        // tag name, upper case, at most 10 characters
  std::string expression;  // a single field name for the tags we write
  KeyType type = KeyType::Character;
  int keyLength = 0;  // character: field length (at most 100); numeric: 12; date: 8
  bool descending = false;
  bool unique = false;
  // A FOR condition: the tag holds only the records it selects. Read, never
  // written: no tag of ours has one, and a tag that has one is not rebuilt.
  bool condition = false;
};

struct MdxEntry {
  std::string key;          // exactly keyLength bytes
  std::uint32_t recNo = 0;  // 1-based physical record number
};

struct MdxTag {
  MdxTagLayout layout;
  std::vector<MdxEntry> entries;  // in index order: key, then record number
};

// Reads every tag of a production index with its entries in index order.
// `tableLdid` is the table's language driver (byte 29 of the .DBF).
// Throws pasarela::Error naming the file when it is malformed.
std::vector<MdxTag> readMdx(const std::filesystem::path& file, std::uint8_t tableLdid);

// Writes a whole production index (replacing the file). Entries must be in
// index order (see compareKeys). `tableName` is the .DBF's base name.
void writeMdx(const std::filesystem::path& file, const std::string& tableName, std::uint8_t tableLdid,
              const std::vector<MdxTag>& tags);

// The whole file writeMdx writes, for a caller that puts it in place itself.
// `displayName` names the file in messages.
std::string mdxImage(const std::string& displayName, const std::string& tableName, std::uint8_t tableLdid,
                     const std::vector<MdxTag>& tags);

// Order of two keys of one tag under the table's language driver:
// negative, zero or positive. Character keys use the driver's collation
// (binary for 0x57), numeric keys compare as numbers.
int compareKeys(std::uint8_t ldid, KeyType type, std::string_view a, std::string_view b);

// compareKeys for the keys of one tag, with the driver's weights looked up
// once: an index compares keys many times for each entry it places.
class KeyCompare {
 public:
  KeyCompare(std::uint8_t ldid, KeyType type) : ldid_(ldid), type_(type), weights_(collationWeights(ldid)) {}
  int operator()(std::string_view a, std::string_view b) const {
    return type_ == KeyType::Character ? collateWith(weights_, a, b) : compareKeys(ldid_, type_, a, b);
  }

 private:
  std::uint8_t ldid_;
  KeyType type_;
  const CollationWeights* weights_;
};

// The 12-byte BCD key of a number, and back.
std::string encodeNumericKey(double value);
double decodeNumericKey(std::string_view key);

// The 8-byte key of a date given as days since 1899-12-30. An empty date's
// key is eight zero bytes (the key of 0.0), which keyOf writes directly.
std::string encodeDateKey(double days);

}  // namespace pasarela::dbase
