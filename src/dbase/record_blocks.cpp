#include "dbase/record_blocks.h"

#include <algorithm>
#include <cstring>

namespace pasarela::dbase {

const char* PendingRecords::record(std::uint32_t recNo) const {
  return bytes_.data() + static_cast<std::size_t>(recNo - first_) * length_;
}

bool PendingRecords::put(std::uint32_t recNo, const char* record, std::uint32_t length, bool appended) {
  if (count_ == 0) {
    bytes_.clear();
    // A run is written out once past the block: room for it is made once.
    bytes_.reserve(kWriteBlock + length);
    first_ = recNo;
    length_ = length;
    appended_ = false;
  } else if (length != length_ || recNo < first_ || recNo > end()) {
    return false;
  }
  if (recNo == end()) {
    bytes_.insert(bytes_.end(), record, record + length);
    ++count_;
  } else {
    std::memcpy(bytes_.data() + static_cast<std::size_t>(recNo - first_) * length_, record, length);
  }
  appended_ = appended_ || appended;
  return true;
}

void PendingRecords::writeOut(std::uint64_t recordsStart,
                              const std::function<void(std::uint64_t, const char*, std::size_t)>& write) {
  if (count_ == 0) return;
  const std::size_t recordBytes = bytes_.size();
  // The end mark goes out in the same write as the records it follows.
  if (appended_) bytes_.push_back('\x1A');
  try {
    write(recordsStart + static_cast<std::uint64_t>(first_ - 1) * length_, bytes_.data(), bytes_.size());
  } catch (...) {
    bytes_.resize(recordBytes);
    throw;
  }
  clear();
}

void PendingRecords::clear() {
  bytes_.clear();
  // A run that grew far past the block size (a large table rewritten in
  // place) gives its memory back.
  if (bytes_.capacity() > 2 * kWriteBlock) bytes_.shrink_to_fit();
  count_ = 0;
  appended_ = false;
}

RecordSpan ReadAhead::plan(std::uint32_t recNo, std::uint32_t recordCount, std::uint32_t recordLength,
                           std::uint64_t generation) const {
  const bool sameData = count_ > 0 && generation_ == generation && length_ == recordLength;
  const bool forward = recNo == 1 || (sameData && recNo == first_ + count_);
  const bool backward = recNo == recordCount || (sameData && recNo + 1 == first_);
  const std::uint32_t len = std::max<std::uint32_t>(1, recordLength);
  if (!forward && !backward && static_cast<std::uint64_t>(recordCount) * len <= kWholeTable)
    return RecordSpan{1, recordCount};
  const std::uint32_t chunk = std::max<std::uint32_t>(
      1, static_cast<std::uint32_t>(((forward || backward) ? kScanBlock : kJumpBlock) / len));
  std::uint32_t first = recNo;
  if (backward && !forward) first = recNo > chunk ? recNo - chunk + 1 : 1;
  return RecordSpan{first, std::min<std::uint32_t>(chunk, recordCount - first + 1)};
}

char* ReadAhead::prepare(RecordSpan span, std::uint32_t recordLength) {
  first_ = span.first;
  count_ = 0;
  length_ = recordLength;
  const std::size_t size = static_cast<std::size_t>(span.count) * recordLength;
  if (size > capacity_) {
    block_ = std::make_unique_for_overwrite<char[]>(size);
    capacity_ = size;
  }
  return block_.get();
}

void ReadAhead::filled(std::size_t bytesRead, std::uint64_t generation) {
  count_ = length_ ? static_cast<std::uint32_t>(bytesRead / length_) : 0;
  generation_ = generation;
}

void ReadAhead::wrote(std::uint64_t from, std::uint64_t to, std::uint32_t recNo, const char* record) {
  if (count_ == 0 || generation_ != from) return;
  if (record && recNo >= first_ && recNo < first_ + count_)
    std::memcpy(block_.get() + static_cast<std::size_t>(recNo - first_) * length_, record, length_);
  generation_ = to;
}

RecordSpan outsideRun(RecordSpan span, std::uint32_t recNo, const PendingRecords& run) {
  if (run.empty()) return span;
  const std::uint32_t spanEnd = span.first + span.count;
  if (recNo < run.first()) {
    return RecordSpan{span.first, std::min(spanEnd, run.first()) - span.first};
  }
  const std::uint32_t first = std::max(span.first, run.end());
  return RecordSpan{first, spanEnd > first ? spanEnd - first : 0};
}

}  // namespace pasarela::dbase
