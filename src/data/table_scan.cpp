// A read-only pass over a table in the order its cursor would take, without
// the cursor: the records are read where the read-ahead block holds them.
#include "data/table.h"
#include "data/table_impl.h"

namespace pasarela {

void Table::scan(const std::function<void(const RecordView&)>& visit) {
  d_->requireOpen();
  if (d_->tag >= 0) {
    // Index order is a walk of the index: the cursor's own steps.
    for (first(); !eof(); next()) visit(RecordView(*d_, d_->buffer.data()));
    return;
  }
  d_->checkBrowse();
  d_->db->reloadCount();
  std::uint32_t last = 0, seen = 0;
  for (std::uint32_t n = 1; n <= d_->header->recordCount;) {
    std::uint32_t run = 0;
    const char* record = d_->db->readRecords(n, run);
    if (!record) break;
    const std::uint64_t generation = d_->db->generation();
    const std::uint32_t length = d_->header->recordLength;
    // A write to the file through another object ends the run: what follows
    // is read again.
    for (const std::uint32_t end = n + run; n < end && d_->db->generation() == generation;
         ++n, record += length) {
      if (!d_->visible(record)) continue;
      last = n;
      ++seen;
      visit(RecordView(*d_, record));
    }
  }
  // Where the cursor's loop ends: on the last record visited, past the end.
  if (last) {
    d_->load(last);
  } else {
    d_->recNo = 0;
    d_->blankBuffer();
  }
  d_->bof = seen <= 1;
  d_->eof = true;
}

}  // namespace pasarela
