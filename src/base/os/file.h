// One open file of the host: the only way the program reads and writes
// files at an offset. Sharing follows Windows: a file opened Exclusive can
// be opened by nobody else, Shared by anyone else who shares it too. On
// Windows this is the share mode given at open; elsewhere a whole-file
// open-file-description lock (write lock = exclusive, read lock = shared),
// which every open of this process and of other programs that lock sees.
// A conflicting open fails with 32.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace pasarela::os {

// The outcome of one call: 0 when it was done, else the system's I/O code
// (base/os/io_code.h).
struct [[nodiscard]] Status {
  int code = 0;
  bool ok() const { return code == 0; }
};

enum class Access { Read, ReadWrite };

enum class Create {
  Existing,  // the file must exist
  OrCreate,  // opened as it is, or created empty
  Truncate,  // created, or emptied when it exists
  New,       // created; fails when it exists
};

enum class Share {
  Exclusive,  // nobody else may have the file open
  Shared,     // others may open it Shared, not Exclusive
  Unlocked,   // takes no part in sharing (private or temporary files)
};

// Which file an open file is: two opens of one file (by any name, through
// any link) have the same id.
struct FileId {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  auto operator<=>(const FileId&) const = default;
};

class File {
 public:
  File() = default;
  ~File();  // closes; an error it reports is lost: call close() to see it
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens `path`. A folder is not a file: 2 for it.
  static Status open(const std::filesystem::path& path, Access access, Create create, Share share, File& out);

  bool isOpen() const;

  // Reads up to `size` bytes at `offset`; `done` is less than `size` only at
  // the end of the file (or on failure).
  Status readAt(std::uint64_t offset, void* buffer, std::size_t size, std::size_t& done) const;
  // Writes all `size` bytes at `offset`. A write that stores nothing is a
  // full disk (101), whatever the host says.
  Status writeAt(std::uint64_t offset, const void* data, std::size_t size);

  Status size(std::uint64_t& out) const;
  Status truncate(std::uint64_t size);
  Status sync();  // to the medium
  Status id(FileId& out) const;

  // True while another open of this file holds it Exclusive. Windows
  // refuses such opens itself, so there it is always false.
  bool heldExclusivelyElsewhere() const;

  // The first `size` bytes of the file mapped for reading and writing: a
  // store there is a write every reader of the file sees. Null when the
  // host cannot map the file (the caller then writes instead). Unmapped at
  // close.
  char* mapHead(std::size_t size);

  // Closes now, reporting a delayed write error.
  Status close();

 private:
  friend Status copyContents(const File& from, File& to, std::uint64_t& copied);
  void release();

  std::filesystem::path path_;  // as opened, for the test hook
  std::intptr_t handle_ = -1;   // descriptor or HANDLE
  char* map_ = nullptr;
  std::size_t mapSize_ = 0;
  std::intptr_t mapHandle_ = 0;  // Windows: the mapping object
};

}  // namespace pasarela::os
