// The OS layer on POSIX hosts (Linux). Sharing is kept with whole-file
// open-file-description locks: they belong to one open, so two opens in
// one process conflict just as two programs do, as Windows share modes do.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__GLIBC__)  // known once a C library header is in
#include <malloc.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "base/os/fault_point.h"
#include "base/os/file.h"
#include "base/os/file_copy.h"
#include "base/os/file_system.h"
#include "base/os/io_code.h"
#include "base/os/system.h"

namespace fs = std::filesystem;

namespace pasarela::os {

using detail::injectedFault;
using testing::Call;

namespace {

// errno as the system's code; a missing file is 3 when a folder of its
// path is missing too, as Windows tells the two apart.
Status fromErrno(int err, IoOperation op, const fs::path& path) {
  if (err == ENOENT) {
    struct stat st {};
    const fs::path parent = path.parent_path();
    bool folder = parent.empty() || (::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
    return {folder ? kErrorFileNotFound : kErrorPathNotFound};
  }
  return {ioCodeFromErrno(err, op)};
}

int fd(std::intptr_t handle) { return static_cast<int>(handle); }

// Takes a whole-file lock without waiting. False when another open holds a
// conflicting one; a file system without such locks lets the open through.
bool lockWhole(int descriptor, short type, int& err) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = 0;
  fl.l_len = 0;
  if (::fcntl(descriptor, F_OFD_SETLK, &fl) == 0) return true;
  err = errno;
  return err == ENOLCK || err == EOPNOTSUPP;
}

// The type of a lock another open holds that conflicts with `type`, or
// F_UNLCK.
short conflictingLock(int descriptor, short type) {
  struct flock probe {};
  probe.l_type = type;
  probe.l_whence = SEEK_SET;
  probe.l_start = 0;
  probe.l_len = 0;  // the whole file, whatever range the holder locked
  if (::fcntl(descriptor, F_OFD_GETLK, &probe) != 0) return F_UNLCK;
  return probe.l_type;
}

Status syncFolder(const fs::path& folder) {
  int d = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (d < 0) return fromErrno(errno, IoOperation::Write, folder);
  int r = ::fsync(d);
  int err = errno;
  ::close(d);
  // Some file systems cannot sync a folder; the rename stands anyway.
  if (r != 0 && err != EINVAL && err != EROFS) return {ioCodeFromErrno(err, IoOperation::Write)};
  return {};
}

}  // namespace

int ioCodeFromSystemError(const std::error_code& error, IoOperation op) {
  return ioCodeFromErrno(error.value(), op);
}

// ---- File

void File::release() {
  if (map_) ::munmap(map_, mapSize_);
  map_ = nullptr;
  if (handle_ >= 0) ::close(fd(handle_));
  handle_ = -1;
}

bool File::isOpen() const { return handle_ >= 0; }

Status File::open(const fs::path& path, Access access, Create create, Share share, File& out) {
  out.release();
  if (int f = injectedFault(Call::Open, path)) return {f};
  int flags = (access == Access::Read ? O_RDONLY : O_RDWR) | O_CLOEXEC;
  // Emptying waits until the lock is held: a file in use elsewhere is left
  // as it is.
  if (create == Create::OrCreate || create == Create::Truncate) flags |= O_CREAT;
  if (create == Create::New) flags |= O_CREAT | O_EXCL;
  int d;
  do d = ::open(path.c_str(), flags, 0666);
  while (d < 0 && errno == EINTR);
  if (d < 0) return fromErrno(errno, IoOperation::Open, path);
  File file;
  file.handle_ = d;
  file.path_ = path;
  struct stat st {};
  if (::fstat(d, &st) != 0) return fromErrno(errno, IoOperation::Open, path);
  if (!S_ISREG(st.st_mode)) return {kErrorFileNotFound};  // a folder is not a file
  int err = 0;
  if (share == Share::Exclusive) {
    if (access == Access::Read) {
      // A write lock needs write access: refuse when anyone holds a lock,
      // then keep writers out.
      if (conflictingLock(d, F_WRLCK) != F_UNLCK) return {kErrorSharingViolation};
      if (!lockWhole(d, F_RDLCK, err)) return {kErrorSharingViolation};
    } else if (!lockWhole(d, F_WRLCK, err)) {
      return {kErrorSharingViolation};
    }
  } else if (share == Share::Shared && !lockWhole(d, F_RDLCK, err)) {
    return {kErrorSharingViolation};
  }
  if (create == Create::Truncate && st.st_size != 0) {
    if (Status s = file.truncate(0); !s.ok()) return s;
  }
  out = std::move(file);
  return {};
}

Status File::readAt(std::uint64_t offset, void* buffer, std::size_t size, std::size_t& done) const {
  done = 0;
  if (int f = injectedFault(Call::Read, path_)) return {f};
  auto* p = static_cast<char*>(buffer);
  while (done < size) {
    ssize_t n = ::pread(fd(handle_), p + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return {ioCodeFromErrno(errno, IoOperation::Read)};
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return {};
}

Status File::writeAt(std::uint64_t offset, const void* data, std::size_t size) {
  if (int f = injectedFault(Call::Write, path_)) return {f};
  const auto* p = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::pwrite(fd(handle_), p + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return {ioCodeFromErrno(errno, IoOperation::Write)};
    if (n == 0) return {kErrorDiskFull};
    done += static_cast<std::size_t>(n);
  }
  return {};
}

Status File::size(std::uint64_t& out) const {
  struct stat st {};
  if (::fstat(fd(handle_), &st) != 0) return {ioCodeFromErrno(errno, IoOperation::Read)};
  out = static_cast<std::uint64_t>(st.st_size);
  return {};
}

Status File::truncate(std::uint64_t size) {
  if (int f = injectedFault(Call::Truncate, path_)) return {f};
  int r;
  do r = ::ftruncate(fd(handle_), static_cast<off_t>(size));
  while (r != 0 && errno == EINTR);
  if (r != 0) return {ioCodeFromErrno(errno, IoOperation::Write)};
  return {};
}

Status File::sync() {
  if (int f = injectedFault(Call::Sync, path_)) return {f};
  // EINVAL: a file that cannot be synced (a pipe, some special files).
  if (::fsync(fd(handle_)) != 0 && errno != EINVAL) return {ioCodeFromErrno(errno, IoOperation::Write)};
  return {};
}

Status File::id(FileId& out) const {
  struct stat st {};
  if (::fstat(fd(handle_), &st) != 0) return {ioCodeFromErrno(errno, IoOperation::Read)};
  out = FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  return {};
}

bool File::heldExclusivelyElsewhere() const {
  // A read lock conflicts with write locks only.
  return handle_ >= 0 && conflictingLock(fd(handle_), F_RDLCK) != F_UNLCK;
}

char* File::mapHead(std::size_t size) {
  if (map_) return size <= mapSize_ ? map_ : nullptr;
  std::uint64_t length = 0;
  int flags = ::fcntl(fd(handle_), F_GETFL);
  if (flags < 0 || (flags & O_ACCMODE) != O_RDWR) return nullptr;
  // Past the end of the file a mapping would fault instead of failing.
  if (!this->size(length).ok() || length < size) return nullptr;
  void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd(handle_), 0);
  if (p == MAP_FAILED) return nullptr;
  map_ = static_cast<char*>(p);
  mapSize_ = size;
  return map_;
}

Status File::close() {
  if (handle_ < 0) return {};
  if (map_) ::munmap(map_, mapSize_);
  map_ = nullptr;
  int f = injectedFault(Call::Close, path_);
  int r = ::close(fd(std::exchange(handle_, -1)));
  if (f) return {f};
  // Linux closes the descriptor even when close reports an error.
  if (r != 0 && errno != EINTR) return {ioCodeFromErrno(errno, IoOperation::Close)};
  return {};
}

// ---- Whole files

Status replaceFile(const fs::path& from, const fs::path& to, Durability durability) {
  if (int f = injectedFault(Call::Replace, to)) return {f};
  if (::rename(from.c_str(), to.c_str()) != 0) return fromErrno(errno, IoOperation::Create, to);
  return durability == Durability::Durable ? syncFolder(to.parent_path()) : Status{};
}

Status removeFile(const fs::path& path) {
  if (int f = injectedFault(Call::Remove, path)) return {f};
  if (::unlink(path.c_str()) != 0) return fromErrno(errno, IoOperation::Create, path);
  return {};
}

Status linkOrCopy(const fs::path& existing, const fs::path& newName) {
  if (int f = injectedFault(Call::Link, newName)) return {f};
  if (::link(existing.c_str(), newName.c_str()) == 0) return {};
  // No hard links here (FAT, some shares) or across devices: a copy.
  if (errno == EEXIST || errno == ENOENT) return fromErrno(errno, IoOperation::Create, newName);
  return copyDurably(existing, newName);
}

Status copyContents(const File& from, File& to, std::uint64_t& copied) {
  copied = 0;
  std::uint64_t offset = 0;
  // The kernel's copy moves the data without bringing it into this process
  // (or shares the blocks, where the file system can). Tests that inject
  // faults go through the blocks, where the hook is asked.
  if (!detail::faultHookSet.load(std::memory_order_relaxed)) {
    for (;;) {
      loff_t in = static_cast<loff_t>(offset), out = static_cast<loff_t>(offset);
      ssize_t n = ::copy_file_range(fd(from.handle_), &in, fd(to.handle_), &out, 1 << 30, 0);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        // Not between these files or not on this kernel: blocks instead.
        if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EBADF)
          break;
        return {ioCodeFromErrno(errno, IoOperation::Write)};
      }
      if (n == 0) return {};
      offset += static_cast<std::uint64_t>(n);
      copied += static_cast<std::uint64_t>(n);
    }
  }
  return detail::copyBlocks(from, to, offset, copied);
}

Status copyPermissions(const fs::path& from, const fs::path& to) {
  struct stat st {};
  if (::stat(from.c_str(), &st) != 0) return fromErrno(errno, IoOperation::Open, from);
  if (::chmod(to.c_str(), st.st_mode & 07777) != 0) return fromErrno(errno, IoOperation::Create, to);
  return {};
}

Status probeReplaceable(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return fromErrno(errno, IoOperation::Open, path);
  if (!S_ISREG(st.st_mode)) return {kErrorAccessDenied};
  // A read-only file stays as it is, even for a user the system lets through.
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return {kErrorAccessDenied};
  int d = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (d < 0) return fromErrno(errno, IoOperation::Open, path);
  Status result;
  // A whole-file lock of another program (flock), or a lock of a dBase
  // engine anywhere in the file (fcntl).
  if (::flock(d, LOCK_EX | LOCK_NB) != 0) {
    result = {kErrorSharingViolation};
  } else {
    ::flock(d, LOCK_UN);
    if (conflictingLock(d, F_WRLCK) != F_UNLCK) result = {kErrorSharingViolation};
  }
  ::close(d);
  return result;
}

bool heldExclusivelyElsewhere(const fs::path& path) {
  int d = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (d < 0) return false;
  bool held = conflictingLock(d, F_RDLCK) != F_UNLCK;
  ::close(d);
  return held;
}

// ---- The process

std::tm localTime(std::time_t t) {
  std::tm out{};
  ::localtime_r(&t, &out);
  return out;
}

unsigned long processId() { return static_cast<unsigned long>(::getpid()); }

std::optional<std::string> environment(const char* name) {
  const char* value = std::getenv(name);
  if (!value) return std::nullopt;
  return std::string(value);
}

bool hasNativeDrives() { return false; }
std::string nativeDrives() { return {}; }

std::vector<std::string> commandLine(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

void prepareConsole() {}

void keepFreedMemory() {
#if defined(__GLIBC__)
  // Blocks below 32 MB come from the heap rather than a mapping of their
  // own, and up to 64 MB freed at its top stays there.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}

}  // namespace pasarela::os
