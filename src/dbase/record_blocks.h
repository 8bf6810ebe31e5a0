// Records moved between a table and its file in large blocks.
//
// PendingRecords holds posted records (appended, or changed in place) as one
// run of consecutive records, so that a table filled record by record
// reaches its file in a few large writes instead of one write per post. The
// table writes the run out when it grows past kWriteBlock, when the run
// cannot take the next record, at an explicit flush and at close, and before
// any other object of the process reads the file.
//
// ReadAhead holds the block of consecutive records an object read last, so
// that scans cost one read per block rather than one per record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace pasarela::dbase {

// Records numbered from 1; `count` records from `first`.
struct RecordSpan {
  std::uint32_t first = 0;
  std::uint32_t count = 0;
};

class PendingRecords {
 public:
  static constexpr std::size_t kWriteBlock = 512 * 1024;

  bool empty() const { return count_ == 0; }
  std::uint32_t first() const { return first_; }
  std::uint32_t end() const { return first_ + count_; }  // one past the last record held
  bool holds(std::uint32_t recNo) const { return count_ > 0 && recNo >= first_ && recNo < end(); }
  // The held bytes of a record; only while holds(recNo).
  const char* record(std::uint32_t recNo) const;
  // Takes a record of `length` bytes into the run, replacing the held copy
  // of the same record. `appended`: the record is new at the table's end.
  // False when the record neither falls in the run nor follows it: the run
  // must be written out first.
  bool put(std::uint32_t recNo, const char* record, std::uint32_t length, bool appended);
  bool full() const { return bytes_.size() >= kWriteBlock; }

  // Writes the run in one call of `write` (file offset, bytes, size) at
  // `recordsStart` + its place, followed by the end-of-file mark when the
  // run holds appended records, and empties it. When `write` throws the run
  // stays as it was.
  void writeOut(std::uint64_t recordsStart,
                const std::function<void(std::uint64_t, const char*, std::size_t)>& write);
  // Drops the run unwritten.
  void clear();

 private:
  std::vector<char> bytes_;
  std::uint32_t first_ = 0, count_ = 0, length_ = 0;
  bool appended_ = false;
};

class ReadAhead {
 public:
  static constexpr std::size_t kScanBlock = 256 * 1024;
  // A table this small is read whole by the first jump into it (index
  // order, FindKey), so that lookups cost no further reads.
  static constexpr std::size_t kWholeTable = 1024 * 1024;
  static constexpr std::size_t kJumpBlock = 4096;

  // The held bytes of a record read while the table was at `generation`,
  // or nullptr when it must be read.
  const char* find(std::uint32_t recNo, std::uint64_t generation) const {
    if (count_ == 0 || generation != generation_ || recNo < first_ || recNo >= first_ + count_)
      return nullptr;
    return block_.get() + static_cast<std::size_t>(recNo - first_) * length_;
  }
  // How many held records there are from `recNo`, which find() found.
  std::uint32_t heldFrom(std::uint32_t recNo) const { return first_ + count_ - recNo; }
  // Which records to read for `recNo` of a table of `recordCount` records:
  // large blocks for scans (forward from the start or on from the block
  // held, or backwards into it), the whole table when small, else a few
  // records around it.
  RecordSpan plan(std::uint32_t recNo, std::uint32_t recordCount, std::uint32_t recordLength,
                  std::uint64_t generation) const;
  // Room for the records of `span`; then filled() with the bytes read.
  char* prepare(RecordSpan span, std::uint32_t recordLength);
  void filled(std::size_t bytesRead, std::uint64_t generation);
  // The object's own write took the table from generation `from` to `to`:
  // a block that was current stays current, with the written record's new
  // bytes when it holds it (`record` null for a record appended past it).
  void wrote(std::uint64_t from, std::uint64_t to, std::uint32_t recNo, const char* record);
  void clear() { count_ = 0; }

 private:
  // Read into before it is read from: not cleared when it grows.
  std::unique_ptr<char[]> block_;
  std::size_t capacity_ = 0;
  std::uint32_t first_ = 0, count_ = 0, length_ = 0;
  std::uint64_t generation_ = 0;
};

// `span` cut so that it still holds `recNo` (which the run does not hold)
// but none of the records the run holds: those are newer than the file.
RecordSpan outsideRun(RecordSpan span, std::uint32_t recNo, const PendingRecords& run);

}  // namespace pasarela::dbase
