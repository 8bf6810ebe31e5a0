#include "dbase/memo_file.h"

#include "base/error.h"
#include "base/os/host_path.h"
#include "base/os/io_code.h"
#include "base/text.h"

namespace pasarela::dbase {
namespace {

std::uint32_t be32(const std::string& b, std::size_t at) { return text::readBe32(b.data() + at); }
std::uint32_t le32(const std::string& b, std::size_t at) { return text::readLe32(b.data() + at); }

}  // namespace

MemoFile::MemoFile(const std::filesystem::path& path, MemoKind kind) : path_(path), kind_(kind) {
  const std::string name = os::utf8(path);
  if (!os::File::open(path, os::Access::Read, os::Create::Existing, os::Share::Unlocked, file_).ok())
    throw Error("No se encuentra el archivo de memos '" + name + "'");
  if (!file_.size(size_).ok() || size_ < 512)
    throw Error("El archivo de memos '" + name + "' está dañado: la cabecera está incompleta");
  std::string header = readAt(0, 32);
  if (kind_ == MemoKind::Fpt) {
    blockSize_ = (static_cast<unsigned char>(header[6]) << 8) | static_cast<unsigned char>(header[7]);
  } else if (kind_ == MemoKind::Dbt4) {
    blockSize_ = static_cast<unsigned char>(header[20]) | (static_cast<unsigned char>(header[21]) << 8);
  }
  if (blockSize_ == 0) blockSize_ = kind_ == MemoKind::Fpt ? 64 : 512;
}

MemoFile::~MemoFile() = default;

std::string MemoFile::readAt(std::uint64_t offset, std::uint64_t size) const {
  std::string out(size, '\0');
  std::size_t done = 0;
  if (os::Status s = file_.readAt(offset, out.data(), out.size(), done); !s.ok()) {
    throw Error("No se puede leer el archivo de memos '" + os::utf8(path_) +
                "': " + os::ioErrorMessage(s.code));
  }
  out.resize(done);
  return out;
}

std::string MemoFile::read(std::uint32_t block) const {
  const std::uint64_t offset = static_cast<std::uint64_t>(block) * blockSize_;
  auto damaged = [&](const char* what) {
    return Error("El archivo de memos '" + os::utf8(path_) + "' está dañado: " + what);
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
