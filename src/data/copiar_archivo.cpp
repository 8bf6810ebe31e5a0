// CopiarArchivo: the file copy that stages a school's file into
// C:\KTEMP\VAVOVIDI (the staging, and the import's horgrup and horprof).
#include <filesystem>
#include <string>

#include "base/os/file.h"
#include "base/os/file_system.h"
#include "base/os/io_code.h"
#include "data/staging.h"
#include "data/winpath.h"
#include "dbase/dbf_table.h"

namespace fs = std::filesystem;

namespace pasarela {

namespace {

// The code's own message first, then the file the user can act on, then
// the cause where the code alone does not say it.
void check(os::Status status, const std::string& windowsPath) {
  if (status.ok()) return;
  std::string cause;
  switch (status.code) {
    case os::kErrorSharingViolation:
      cause = " (el archivo está en uso por otro programa)";
      break;
    case os::kErrorReadFault:
      cause = " (error de lectura del disco)";
      break;
    case os::kErrorWriteFault:
      cause = " (error de escritura en el disco)";
      break;
    case os::kErrorGenFailure:
      cause = " (el dispositivo no responde)";
      break;
    default:
      break;
  }
  throw IoError(status.code, os::ioErrorMessage(status.code) + ": '" + windowsPath + "'" + cause);
}

// Removes the half-written copy when the copy fails.
class TemporaryFile {
 public:
  explicit TemporaryFile(fs::path path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (!path_.empty()) (void)os::removeFile(path_);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const fs::path& path() const { return path_; }
  void keep() { path_.clear(); }

 private:
  fs::path path_;
};

void copyFile(const std::string& destination, const std::string& source) {
  const fs::path src = winpath::resolve(source);
  const fs::path dst = winpath::resolve(destination);

  // The source is only read, shared as the school-management system shares
  // its files: a read-only school table is copied and never changed; one in
  // exclusive use elsewhere is refused (32).
  os::File in;
  check(os::File::open(src, os::Access::Read, os::Create::Existing, os::Share::Shared, in), source);

  // A destination that exists must be one we could open for writing, and
  // not in exclusive use elsewhere. Closed again before it is replaced.
  {
    os::File existing;
    os::Status s =
        os::File::open(dst, os::Access::ReadWrite, os::Create::Existing, os::Share::Shared, existing);
    if (s.code != os::kErrorFileNotFound) check(s, destination);
    if (s.ok()) {
      os::FileId from, to;
      if (in.id(from).ok() && existing.id(to).ok() && from == to) return;  // onto itself: left as it is
    }
  }

  // The data go to a new file beside the destination, which replaces the
  // destination only once complete: a copy that fails half-way (a full
  // disk) leaves the destination as it was, never a truncated file.
  TemporaryFile temporary(os::temporarySibling(dst));
  os::File out;
  check(
      os::File::open(temporary.path(), os::Access::ReadWrite, os::Create::Truncate, os::Share::Unlocked, out),
      destination);
  // The copy is as private as the school keeps its file (student data),
  // whatever the umask.
  check(os::copyPermissions(src, temporary.path()), destination);
  std::uint64_t copied = 0;
  check(os::copyContents(in, out, copied), destination);
  check(out.close(), destination);
  // Atomic but not synced, as the copy always was: the school's own files
  // go back through the copy back, which syncs.
  check(os::replaceFile(temporary.path(), dst, os::Durability::Cached), destination);
  temporary.keep();
  check(in.close(), source);
}

}  // namespace

void CopiarArchivo(const std::string& destino, const std::string& origen) {
  std::string destination = destino;
  // A destination without a file name names a folder.
  if (winpath::fileNamePart(destination).empty()) destination += winpath::fileNamePart(origen);
  if (!winpath::fileExists(origen)) return;
  // The copy reads the file itself: what a table of this process still
  // holds goes there first.
  dbase::writeHeldRecords();
  copyFile(destination, origen);
}

}  // namespace pasarela
