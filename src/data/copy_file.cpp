// CopiarArchivo: the file copy used by the staging and by the import.
#include <filesystem>
#include <string>

#include "base/os/file.h"
#include "base/os/file_system.h"
#include "base/os/io_code.h"
#include "data/staging.h"
#include "data/winpath.h"

namespace fs = std::filesystem;

namespace pasarela {

namespace {

void check(os::Status status) {
  if (!status.ok()) throw os::makeIoError(status.code);
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

  // The source is opened for reading and writing, shared, as the
  // school-management system shares its files: a read-only file is refused
  // (5), one in exclusive use elsewhere too (32).
  os::File in;
  check(os::File::open(src, os::Access::ReadWrite, os::Create::Existing, os::Share::Shared, in));

  // A destination that exists must be one we could open for writing, and
  // not in exclusive use elsewhere. Closed again before it is replaced.
  bool replacing = false;
  {
    os::File existing;
    os::Status s =
        os::File::open(dst, os::Access::ReadWrite, os::Create::Existing, os::Share::Shared, existing);
    if (s.code != os::kErrorFileNotFound) check(s);
    if (s.ok()) {
      os::FileId from, to;
      if (in.id(from).ok() && existing.id(to).ok() && from == to) return;  // onto itself: left as it is
      replacing = true;
    }
  }

  // The data go to a new file beside the destination, which replaces the
  // destination only once complete: a copy that fails half-way (a full
  // disk) leaves the destination as it was, never a truncated file.
  TemporaryFile temporary(os::temporarySibling(dst));
  os::File out;
  check(os::File::open(temporary.path(), os::Access::ReadWrite, os::Create::Truncate, os::Share::Unlocked,
                       out));
  if (replacing) check(os::copyPermissions(dst, temporary.path()));
  std::uint64_t copied = 0;
  check(os::copyContents(in, out, copied));
  check(out.close());
  check(os::replaceFile(temporary.path(), dst));
  temporary.keep();
  check(in.close());
}

}  // namespace

void CopiarArchivo(const std::string& destino, const std::string& origen) {
  std::string destination = destino;
  // A destination without a file name names a folder.
  if (winpath::fileNamePart(destination).empty()) destination += winpath::fileNamePart(origen);
  if (!winpath::fileExists(origen)) return;
  copyFile(destination, origen);
}

}  // namespace pasarela
