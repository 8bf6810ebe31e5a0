// One transfer at a time per school folder and per interchange folder.
//
// A run holds the file PASARELA.BLQ of a folder open for exclusive use for
// as long as it runs; the lock works across processes and, on a shared
// folder, across machines. The file itself stays (removing it would let two
// runs lock two different files of one name).
//
// Within one process the lock is shared: a transfer that takes it before
// staging the school's tables keeps it through the run, whose own steps
// (the staging, the export, the import) take it again and get the same
// lock. A process runs one transfer at a time, on its one thread.
#pragma once

#include <memory>
#include <string>

#include "base/os/file.h"

namespace pasarela {

class TransferLock {
 public:
  // Takes the lock of `folder` (a Windows path) or throws pasarela::Error at
  // once, naming the folder, when another run holds it.
  explicit TransferLock(const std::string& folder);
  TransferLock(const TransferLock&) = delete;
  TransferLock& operator=(const TransferLock&) = delete;

 private:
  std::shared_ptr<os::File> file_;
};

}  // namespace pasarela
