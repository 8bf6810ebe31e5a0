// An open .DBF file with its production index held in memory.
//
// Every object open on one file in this process shares one SharedTable (the
// header, the record count and the index entries), found through a registry
// keyed by the file's identity, so that a record posted through one object
// is seen by the others on their next read. Each object has its own open
// file, shared or exclusive (os::File), so an exclusive open fails while any
// other object of this or another process holds the file.
//
// Index entries live in ordered sets (key under the table's collation, then
// record number). The .MDX is written whole through writeMdx when an object
// that is open on the table is closed (destroyed) after records were
// appended, changed or emptied; between those moments only this process has
// the current index.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/os/file.h"
#include "dbase/codepage.h"
#include "dbase/dbf_header.h"
#include "dbase/mdx.h"
#include "dbase/record_blocks.h"

namespace pasarela::dbase {

struct IndexEntry {
  std::string key;
  std::uint32_t recNo = 0;
};

class KeyOrder {
 public:
  KeyOrder() : KeyOrder(0x57, KeyType::Character, false) {}
  // `descending`: keys from the largest; equal keys still by record number.
  KeyOrder(std::uint8_t ldid, KeyType type, bool descending) : compare(ldid, type), descending_(descending) {}

  bool operator()(const IndexEntry& a, const IndexEntry& b) const {
    const int c = compare(a.key, b.key);
    if (c != 0) return descending_ ? c > 0 : c < 0;
    return a.recNo < b.recNo;
  }

  KeyCompare compare;  // the keys alone, as compareKeys orders them

 private:
  bool descending_;
};

using EntrySet = std::set<IndexEntry, KeyOrder>;

struct Tag {
  MdxTagLayout layout;
  std::vector<int> keyFields;  // fields whose bytes make the key; empty when we cannot compute it
  EntrySet entries;
};

struct SharedTable;

// What createTable makes: a dBase IV field.
struct NewField {
  std::string name;
  char type = 'C';
  int length = 1;
  int decimals = 0;
};

class DbfTable {
 public:
  // Opens `path`; `displayName` names the table in messages.
  DbfTable(const std::filesystem::path& path, const std::string& displayName, bool exclusive);
  ~DbfTable();
  DbfTable(const DbfTable&) = delete;
  DbfTable& operator=(const DbfTable&) = delete;

  const Header& header() const;
  const std::string& displayName() const { return displayName_; }
  const CodePage& codePage() const;
  std::uint32_t recordCount() const;
  // Bumps whenever any object writes the file; cached reads compare it.
  std::uint64_t generation() const;
  // Picks up records another process appended (re-reads the header count).
  void reloadCount();

  // A record's bytes (1-based number), valid until the next call; nullptr
  // past the end.
  const char* readRecord(std::uint32_t recNo);
  // readRecord, also telling in `run` how many records from `recNo` lie one
  // after another at the pointer (at least 1): a scan takes them without a
  // call per record.
  const char* readRecords(std::uint32_t recNo, std::uint32_t& run);
  // Writes a changed record or a new one (returning its number), keeping
  // the header, the end mark and the index entries right.
  void updateRecord(std::uint32_t recNo, const char* record);
  std::uint32_t appendRecord(const char* record);
  bool writable() const { return writable_; }

  // The memo whose block number a memo field holds.
  std::string readMemo(std::uint32_t block);

  // Writes the .MDX now when it has unsaved changes.
  void flushIndex();
  // Writes the records posted through any object of this file that are
  // still held, then the .MDX; reports a failure naming the file.
  void flush();
  friend void writeHeldRecords();

  // --- index ---
  int tagCount() const;
  int tagIndex(const std::string& name) const;  // -1 when the table has no such tag
  const Tag& tag(int index) const;
  std::string keyOf(int tag, const char* record) const;
  std::optional<IndexEntry> indexFirst(int tag) const;
  std::optional<IndexEntry> indexLast(int tag) const;
  std::optional<IndexEntry> indexAfter(int tag, const IndexEntry& at) const;
  std::optional<IndexEntry> indexBefore(int tag, const IndexEntry& at) const;
  // First entry whose key equals `key` (already in the tag's byte form).
  std::optional<IndexEntry> indexFind(int tag, const std::string& key) const;

 private:
  void requireWritable() const;
  void writeAt(std::uint64_t offset, const char* data, std::size_t size);
  // Takes a posted record into the file's held run, writing the run out
  // first when it cannot take it.
  void holdRecord(std::uint32_t recNo, const char* record, bool appended);
  // Writes the held run (of whichever object posted it) and stamps the header.
  void flushRecords();
  void stampHeader();
  void checkIndexesComputable() const;
  // Puts the entries read from the .MDX in order, then checks them against
  // the records; once, for every object of the file. A tag is placed when
  // it is walked or searched; every tag before any write.
  void placeEntries();
  void placeTag(std::size_t index);
  Tag& placedTag(int index) const;
  void rebuildIfStale(std::size_t index);

  std::string displayName_;
  os::File file_;
  bool writable_ = false;
  char* headerMap_ = nullptr;  // the first 32 bytes of the file, mapped when first stamped
  std::shared_ptr<SharedTable> shared_;
  const CodePage* codePage_ = nullptr;  // asked for on every text read and written
  ReadAhead cache_;
  std::vector<char> heldCopy_;  // a record read back from the held run
  // The entry the last step of an index walk stood on: while nothing has
  // written the file, the next step is one move along the set, not a search.
  struct WalkPlace {
    int tag = -1;
    std::uint64_t generation = 0;
    EntrySet::const_iterator at;
  };
  mutable WalkPlace walk_;
  EntrySet::const_iterator walkFrom(int tag, const IndexEntry& at, bool forward) const;
};

// Writes the records that table objects of this process still hold, so
// that a reader through another handle (a file copy) sees every post.
// Reports a failure naming the file, as the post would have.
void writeHeldRecords();

// The records of the table at `path` not marked deleted, counted from the
// file alone, without reading its index: for reports on tables just
// written. Records this process still holds are written first.
std::uint32_t countLiveRecords(const std::filesystem::path& path, const std::string& displayName);

// Creates (overwriting) a dBase IV table, language driver 0x57, with a
// production index holding one tag per field of `indexFields`.
void createTable(const std::filesystem::path& path, const std::string& displayName,
                 const std::vector<NewField>& fields, const std::vector<std::string>& indexFields);

// Removes every record; keeps the structure and the index tags.
void emptyTable(const std::filesystem::path& path, const std::string& displayName);

// The sibling of `dbf` with another extension, matched without regard to
// case when it exists (".MDX" when the table's extension is upper case).
std::filesystem::path siblingFile(const std::filesystem::path& dbf, const std::string& extension);

}  // namespace pasarela::dbase
