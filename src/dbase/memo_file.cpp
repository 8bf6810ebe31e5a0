#include "dbase/memo_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/error.h"

namespace pasarela::dbase {
namespace {

std::uint32_t be32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}
std::uint32_t le32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 4; i-- > 0;) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

}  // namespace

MemoFile::MemoFile(const std::filesystem::path& path, MemoKind kind) : path_(path), kind_(kind) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) throw Error("No se encuentra el archivo de memos '" + path.string() + "'");
  struct stat st {};
  if (fstat(fd_, &st) != 0 || st.st_size < 512) {
    ::close(fd_);
    fd_ = -1;
    throw Error("El archivo de memos '" + path.string() + "' está dañado: la cabecera está incompleta");
  }
  size_ = static_cast<std::uint64_t>(st.st_size);
  std::string header = readAt(0, 32);
  if (kind_ == MemoKind::Fpt) {
    blockSize_ = (static_cast<unsigned char>(header[6]) << 8) | static_cast<unsigned char>(header[7]);
  } else if (kind_ == MemoKind::Dbt4) {
    blockSize_ = static_cast<unsigned char>(header[20]) | (static_cast<unsigned char>(header[21]) << 8);
  }
  if (blockSize_ == 0) blockSize_ = kind_ == MemoKind::Fpt ? 64 : 512;
}

MemoFile::~MemoFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::string MemoFile::readAt(std::uint64_t offset, std::uint64_t size) const {
  std::string out(size, '\0');
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = pread(fd_, out.data() + done, size - done, static_cast<off_t>(offset + done));
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  out.resize(done);
  return out;
}

std::string MemoFile::read(std::uint32_t block) const {
  const std::uint64_t offset = static_cast<std::uint64_t>(block) * blockSize_;
  auto damaged = [&](const char* what) {
    return Error("El archivo de memos '" + path_.string() + "' está dañado: " + what);
  };
  if (block == 0 || offset + 8 > size_) throw damaged("un memo apunta fuera del archivo");
  if (kind_ == MemoKind::Fpt) {
    std::string head = readAt(offset, 8);
    std::uint64_t length = be32(head, 4);
    if (offset + 8 + length > size_) throw damaged("un memo pasa del final del archivo");
    return readAt(offset + 8, length);
  }
  std::string head = readAt(offset, 8);
  if (kind_ == MemoKind::Dbt4 && static_cast<unsigned char>(head[0]) == 0xFF &&
      static_cast<unsigned char>(head[1]) == 0xFF && head[2] == 0x08 && head[3] == 0x00) {
    std::uint64_t length = le32(head, 4);
    if (length < 8 || offset + length > size_) throw damaged("un memo pasa del final del archivo");
    return readAt(offset + 8, length - 8);
  }
  // dBase III: text up to the end mark 0x1A, read in pieces.
  std::string out;
  std::uint64_t at = offset;
  while (at < size_) {
    std::string chunk = readAt(at, std::min<std::uint64_t>(4096, size_ - at));
    if (chunk.empty()) break;
    std::size_t end = chunk.find('\x1A');
    if (end != std::string::npos) {
      out.append(chunk, 0, end);
      return out;
    }
    out += chunk;
    at += chunk.size();
  }
  return out;
}

}  // namespace pasarela::dbase
