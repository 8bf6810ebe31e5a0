// CopiarArchivo: the block copy used by the staging and by the import's copy
// back into the source folder.
#include <array>
#include <filesystem>
#include <string>
#include <utility>

#include "data/io_error.h"
#include "data/staging.h"
#include "data/winpath.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "data/file_sharing.h"
#include "data/unique_fd.h"
#endif

namespace pasarela {

namespace {

constexpr std::size_t kBlockSize = 2048;

#ifdef _WIN32

// Closes a handle whatever happens to the copy.
class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  void close() {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(h)) throw makeIoError(static_cast<int>(GetLastError()));
  }

 private:
  HANDLE h_;
};

void copyBlocks(const std::string& destination, const std::string& source) {
  const std::string src = winpath::resolve(source).string();
  const std::string dst = winpath::resolve(destination).string();
  Handle in(CreateFileA(src.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (in.get() == INVALID_HANDLE_VALUE) throw ioErrorOn(static_cast<int>(GetLastError()), source);
  Handle out(CreateFileA(dst.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (out.get() == INVALID_HANDLE_VALUE) throw ioErrorOn(static_cast<int>(GetLastError()), destination);
  std::array<char, kBlockSize> buffer;
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(in.get(), buffer.data(), kBlockSize, &n, nullptr))
      throw ioErrorOn(static_cast<int>(GetLastError()), source);
    if (n == 0) break;
    DWORD w = 0;
    if (!WriteFile(out.get(), buffer.data(), n, &w, nullptr))
      throw ioErrorOn(static_cast<int>(GetLastError()), destination);
    if (w != n) throw ioErrorOn(kErrorDiskFull, destination);
  }
  out.close();
  in.close();
}

#else

bool parentExists(const std::filesystem::path& hostPath) {
  std::error_code ec;
  return std::filesystem::is_directory(hostPath.parent_path(), ec);
}

[[noreturn]] void fail(int err, IoOperation op, const std::filesystem::path& hostPath,
                       const std::string& file) {
  throw ioErrorOn(windowsErrorFromErrno(err, op, parentExists(hostPath)), file);
}

ssize_t readBlock(int fd, char* buffer, std::size_t size) {
  ssize_t n;
  do n = ::read(fd, buffer, size);
  while (n < 0 && errno == EINTR);
  return n;
}

ssize_t writeBlock(int fd, const char* buffer, std::size_t size) {
  ssize_t w;
  do w = ::write(fd, buffer, size);
  while (w < 0 && errno == EINTR);
  return w;
}

// Removes the half-written copy when the copy fails.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::filesystem::path path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::filesystem::path& path() const { return path_; }
  void keep() { path_.clear(); }

 private:
  std::filesystem::path path_;
};

void copyBlocks(const std::string& destination, const std::string& source) {
  const std::filesystem::path src = winpath::resolve(source);
  const std::filesystem::path dst = winpath::resolve(destination);

  // The source is only read: a read-only school table is copied, and the
  // copy never changes it. A program holding it for itself still stops us.
  UniqueFd in(::open(src.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) fail(errno, IoOperation::Open, src, source);
  if (sharing::heldExclusively(in.get())) throw ioErrorOn(kErrorSharingViolation, source);

  // The copy gets the source's permissions (student data stays as private
  // as the school keeps it), writable by us so that it can be replaced.
  mode_t mode = 0600;
  struct stat inStat {};
  if (::fstat(in.get(), &inStat) == 0) mode = (inStat.st_mode & 0777) | S_IWUSR;
  // A destination that exists must be one we could open for writing, and
  // not in exclusive use elsewhere.
  {
    UniqueFd existing(::open(dst.c_str(), O_RDWR | O_CLOEXEC));
    if (existing.get() < 0) {
      if (errno != ENOENT) fail(errno, IoOperation::Create, dst, destination);
    } else {
      if (sharing::heldExclusively(existing.get())) throw ioErrorOn(kErrorSharingViolation, destination);
      struct stat outStat {};
      if (::fstat(existing.get(), &outStat) == 0 && inStat.st_dev == outStat.st_dev &&
          inStat.st_ino == outStat.st_ino)
        return;  // copying a file onto itself leaves it as it is
    }
  }

  // The blocks go to a new file beside the destination, which replaces the
  // destination only once complete: a copy that fails half-way (a full
  // disk) leaves the destination as it was, never a truncated file.
  TemporaryFile temporary(dst.parent_path() /
                          ("." + dst.filename().string() + ".copia-" + std::to_string(::getpid())));
  UniqueFd out(::open(temporary.path().c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
  if (out.get() < 0) fail(errno, IoOperation::Create, dst, destination);
  if (::fchmod(out.get(), mode) != 0) fail(errno, IoOperation::Create, dst, destination);

  std::array<char, kBlockSize> buffer;
  for (;;) {
    ssize_t n = readBlock(in.get(), buffer.data(), buffer.size());
    if (n < 0) fail(errno, IoOperation::Read, src, source);
    if (n == 0) break;
    ssize_t w = writeBlock(out.get(), buffer.data(), static_cast<std::size_t>(n));
    if (w < 0) fail(errno, IoOperation::Write, dst, destination);
    // A write that stores fewer bytes than were read means the medium is
    // full: the copy is incomplete and must not pass for a good one.
    if (w != n) throw ioErrorOn(kErrorDiskFull, destination);
  }
  if (out.release() != 0) fail(errno, IoOperation::Close, dst, destination);
  if (::rename(temporary.path().c_str(), dst.c_str()) != 0)
    fail(errno, IoOperation::Create, dst, destination);
  temporary.keep();
  if (in.release() != 0) fail(errno, IoOperation::Close, src, source);
}

#endif

}  // namespace

void CopiarArchivo(const std::string& destino, const std::string& origen) {
  std::string destination = destino;
  // A destination without a file name names a folder.
  if (winpath::fileNamePart(destination).empty()) destination += winpath::fileNamePart(origen);
  if (!winpath::fileExists(origen)) return;
  copyBlocks(destination, origen);
}

}  // namespace pasarela
