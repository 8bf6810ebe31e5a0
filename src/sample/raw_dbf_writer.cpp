#include "sample/raw_dbf_writer.h"

#include <fstream>
#include <stdexcept>

#include "base/error.h"
#include "sample/cp1252.h"

namespace pasarela::sample {

namespace {

constexpr std::uint32_t kMemoBlockSize = 64;
constexpr std::uint32_t kMemoHeaderSize = 512;

void putLe16(std::string& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<char>(v & 0xFF);
  out[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void putLe32(std::string& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void putBe32(std::string& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * (3 - i))) & 0xFF);
}

std::string rightAligned(const std::string& text, int length) {
  if (static_cast<int>(text.size()) >= length) return text.substr(text.size() - length);
  return std::string(length - text.size(), ' ') + text;
}

}  // namespace

RawDbfWriter::RawDbfWriter(RawFormat format, std::vector<RawField> fields)
    : format_(format), fields_(std::move(fields)) {
  for (RawField& f : fields_) {
    if (f.type == 'D') f.length = 8;
    if (f.type == 'L') f.length = 1;
    if (f.type == 'M') {
      if (format_ != RawFormat::FoxPro) throw std::logic_error("memo fields need the FoxPro format");
      f.length = 10;
    }
    offsets_.push_back(recordLength_);
    recordLength_ += f.length;
  }
  if (format_ == RawFormat::FoxPro) nextMemoBlock_ = kMemoHeaderSize / kMemoBlockSize;
}

void RawDbfWriter::addRecord(const std::vector<std::string>& values) {
  if (values.size() != fields_.size()) throw std::logic_error("record with the wrong number of values");
  std::string record(static_cast<std::size_t>(recordLength_), ' ');
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const RawField& f = fields_[i];
    const std::string& v = values[i];
    std::string cell;
    switch (f.type) {
      case 'C':
        cell = utf8ToCp1252(v).substr(0, static_cast<std::size_t>(f.length));
        cell.resize(static_cast<std::size_t>(f.length), ' ');
        break;
      case 'N':
        if (static_cast<int>(v.size()) > f.length) throw std::logic_error("number too wide for " + f.name);
        cell = rightAligned(v, f.length);
        break;
      case 'D':
        cell = v.empty() ? std::string(8, ' ') : v;
        break;
      case 'L':
        cell = v.empty() ? " " : v.substr(0, 1);
        break;
      case 'M': {
        if (v.empty()) {
          cell = std::string(10, ' ');
          break;
        }
        std::string text = utf8ToCp1252(v);
        std::string block(8, '\0');
        putBe32(block, 0, 1);  // text memo
        putBe32(block, 4, static_cast<std::uint32_t>(text.size()));
        block += text;
        std::size_t padded = (block.size() + kMemoBlockSize - 1) / kMemoBlockSize * kMemoBlockSize;
        block.resize(padded, '\0');
        cell = rightAligned(std::to_string(nextMemoBlock_), 10);
        memo_ += block;
        nextMemoBlock_ += static_cast<std::uint32_t>(padded / kMemoBlockSize);
        break;
      }
      default:
        throw std::logic_error("unsupported field type");
    }
    record.replace(static_cast<std::size_t>(offsets_[i]), cell.size(), cell);
  }
  records_.push_back(std::move(record));
}

void RawDbfWriter::write(const std::filesystem::path& dbfPath, int year, int month, int day) const {
  const bool fox = format_ == RawFormat::FoxPro;
  bool hasMemo = false;
  for (const RawField& f : fields_) hasMemo = hasMemo || f.type == 'M';

  const std::size_t headerLength = 32 + 32 * fields_.size() + 1;
  std::string header(headerLength, '\0');
  header[0] = static_cast<char>(fox ? 0xF5 : 0x03);
  header[1] = static_cast<char>(year - 1900);
  header[2] = static_cast<char>(month);
  header[3] = static_cast<char>(day);
  putLe32(header, 4, static_cast<std::uint32_t>(records_.size()));
  putLe16(header, 8, static_cast<std::uint32_t>(headerLength));
  putLe16(header, 10, static_cast<std::uint32_t>(recordLength_));
  header[29] = static_cast<char>(fox ? 0x03 : 0x57);
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const RawField& f = fields_[i];
    std::size_t at = 32 + 32 * i;
    header.replace(at, f.name.size(), f.name);
    header[at + 11] = f.type;
    if (fox) putLe32(header, at + 12, static_cast<std::uint32_t>(offsets_[i]));
    header[at + 16] = static_cast<char>(f.length);
    header[at + 17] = static_cast<char>(f.decimals);
  }
  header[headerLength - 1] = 0x0D;

  std::ofstream dbf(dbfPath, std::ios::binary | std::ios::trunc);
  dbf.write(header.data(), static_cast<std::streamsize>(header.size()));
  for (const std::string& r : records_) dbf.write(r.data(), static_cast<std::streamsize>(r.size()));
  dbf.put(0x1A);
  dbf.close();
  if (!dbf) throw Error("No se puede escribir el archivo " + dbfPath.string());

  if (!fox || !hasMemo) return;
  std::filesystem::path fpt = dbfPath;
  const std::string ext = dbfPath.extension().string();
  fpt.replace_extension(ext == ".DBF" ? ".FPT" : ".fpt");
  std::string memoHeader(kMemoHeaderSize, '\0');
  putBe32(memoHeader, 0, nextMemoBlock_);
  memoHeader[6] = static_cast<char>((kMemoBlockSize >> 8) & 0xFF);
  memoHeader[7] = static_cast<char>(kMemoBlockSize & 0xFF);
  std::ofstream out(fpt, std::ios::binary | std::ios::trunc);
  out.write(memoHeader.data(), static_cast<std::streamsize>(memoHeader.size()));
  out.write(memo_.data(), static_cast<std::streamsize>(memo_.size()));
  out.close();
  if (!out) throw Error("No se puede escribir el archivo " + fpt.string());
}

}  // namespace pasarela::sample
