// Memo files: dBase III/IV .DBT and FoxPro .FPT. Opened only when a memo
// value is read, so a table whose memo file is missing still opens.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "base/os/file.h"
#include "dbase/dbf_header.h"

namespace pasarela::dbase {

class MemoFile {
 public:
  MemoFile(const std::filesystem::path& path, MemoKind kind);  // throws when it cannot be opened
  ~MemoFile();
  MemoFile(const MemoFile&) = delete;
  MemoFile& operator=(const MemoFile&) = delete;

  // The bytes of the memo starting at `block`; throws naming the file when
  // the block lies outside it or its length is impossible.
  std::string read(std::uint32_t block) const;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::string readAt(std::uint64_t offset, std::uint64_t size) const;

  std::filesystem::path path_;
  MemoKind kind_;
  os::File file_;
  std::uint64_t size_ = 0;
  std::uint32_t blockSize_ = 512;
};

}  // namespace pasarela::dbase
