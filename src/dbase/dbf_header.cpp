#include "dbase/dbf_header.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "base/error.h"
#include "base/os/system.h"

namespace pasarela::dbase {
namespace {

std::uint32_t u16(const std::string& b, std::size_t at) {
  return static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8);
}
std::uint32_t u32(const std::string& b, std::size_t at) { return u16(b, at) | (u16(b, at + 2) << 16); }

[[noreturn]] void fail(const std::string& fileName, const std::string& what) {
  throw Error("El archivo '" + fileName + "' no es una tabla dBase válida: " + what);
}

std::string fieldName(const std::string& b, std::size_t at, std::size_t size) {
  std::string name;
  for (std::size_t i = 0; i < size; ++i) {
    char c = b[at + i];
    if (c == '\0') break;
    name += c;
  }
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

bool knownType(char t) { return std::strchr("CNFLDMIBYTO@+GP0VQW", t) != nullptr && t != '\0'; }

}  // namespace

bool Field::isMemo() const {
  switch (type) {
    case 'M':
    case 'G':
    case 'P':
      return true;
    case 'B':
      return length != 8;  // dBase binary memo; Visual FoxPro's B is a double
    default:
      return false;
  }
}

bool Header::hasMemoFields() const {
  return std::any_of(fields.begin(), fields.end(), [](const Field& f) { return f.isMemo(); });
}

Header parseHeader(const std::string& b, std::uint64_t fileSize, const std::string& fileName) {
  if (b.size() < 32) fail(fileName, "la cabecera está incompleta");
  Header h;
  h.version = static_cast<std::uint8_t>(b[0]);
  switch (h.version) {
    case 0x02:
    case 0xFB:
      h.dialect = Dialect::FoxPro;
      break;
    case 0x03:
      h.dialect = Dialect::DBase4;
      break;
    case 0x83:
      h.dialect = Dialect::DBase3;
      h.memo = MemoKind::Dbt3;
      break;
    case 0x8B:
    case 0xCB:
    case 0x8E:
    case 0x7B:
      h.dialect = Dialect::DBase4;
      h.memo = MemoKind::Dbt4;
      break;
    case 0x04:
      h.dialect = Dialect::DBase7;
      break;
    case 0x8C:
      h.dialect = Dialect::DBase7;
      h.memo = MemoKind::Dbt4;
      break;
    case 0xF5:
      h.dialect = Dialect::FoxPro;
      h.memo = MemoKind::Fpt;
      break;
    case 0x30:
    case 0x31:
    case 0x32:
      h.dialect = Dialect::VisualFoxPro;
      h.memo = MemoKind::Fpt;
      break;
    default:
      fail(fileName, "versión desconocida");
  }
  h.year = 1900 + static_cast<unsigned char>(b[1]);
  h.month = static_cast<unsigned char>(b[2]);
  h.day = static_cast<unsigned char>(b[3]);
  h.statedCount = u32(b, 4);
  h.headerLength = u16(b, 8);
  h.recordLength = u16(b, 10);
  h.productionIndex = b[28] != 0;
  h.ldid = static_cast<std::uint8_t>(b[29]);
  if (h.headerLength < 33) fail(fileName, "longitud de cabecera imposible");
  if (h.recordLength < 1) fail(fileName, "longitud de registro imposible");
  if (fileSize < h.headerLength) fail(fileName, "el archivo es más corto que su cabecera");

  const bool dbase7 = h.dialect == Dialect::DBase7;
  const std::size_t descSize = dbase7 ? 48 : 32;
  std::size_t at = dbase7 ? 68 : 32;
  const std::size_t end = std::min<std::size_t>(h.headerLength, b.size());
  int offset = 1;
  int nullBit = 0;
  for (;;) {
    if (at >= end) fail(fileName, "los campos pasan del final de la cabecera");
    if (b[at] == 0x0D) break;
    if (at + descSize > end) fail(fileName, "los campos pasan del final de la cabecera");
    Field f;
    if (dbase7) {
      f.name = fieldName(b, at, 32);
      f.type = b[at + 32];
      f.length = static_cast<unsigned char>(b[at + 33]);
      f.decimals = static_cast<unsigned char>(b[at + 34]);
      f.indexed = b[at + 37] != 0;
    } else {
      f.name = fieldName(b, at, 11);
      f.type = b[at + 11];
      f.length = static_cast<unsigned char>(b[at + 16]);
      f.decimals = static_cast<unsigned char>(b[at + 17]);
      if (h.dialect == Dialect::VisualFoxPro)
        f.flags = static_cast<std::uint8_t>(b[at + 18]);
      else
        f.indexed = b[at + 31] != 0;
    }
    if (!knownType(f.type)) fail(fileName, "el campo '" + f.name + "' tiene un tipo desconocido");
    if (f.length == 0) fail(fileName, "el campo '" + f.name + "' tiene longitud cero");
    f.offset = offset;
    offset += f.length;
    if (f.type == '0') {
      f.system = true;
      h.nullFlagsField = static_cast<int>(h.fields.size());
    }
    h.fields.push_back(f);
    at += descSize;
  }
  if (h.fields.empty()) fail(fileName, "no tiene campos");
  if (static_cast<std::uint32_t>(offset) > h.recordLength)
    fail(fileName, "los campos no caben en el registro");
  // Visual FoxPro gives each nullable field a bit of _NullFlags, in field order.
  for (Field& f : h.fields) {
    if (f.system) continue;
    if (h.dialect == Dialect::VisualFoxPro && (f.flags & 0x02)) f.nullBit = nullBit++;
  }
  if (h.nullFlagsField >= 0 && nullBit > h.fields[static_cast<std::size_t>(h.nullFlagsField)].length * 8) {
    fail(fileName, "el campo _NullFlags es demasiado corto");
  }
  // Memo fields without a memo version byte (FoxPro 2 tables marked 0x03,
  // for instance): look for a memo file of either kind.
  if (h.memo == MemoKind::None && h.hasMemoFields()) h.memo = MemoKind::Fpt;
  // Trust the records really in the file over byte 4 when it promises more.
  std::uint64_t available = (fileSize - h.headerLength) / h.recordLength;
  h.recordCount = static_cast<std::uint32_t>(std::min<std::uint64_t>(h.statedCount, available));
  return h;
}

void stampHeader(char* header8, std::uint32_t count) {
  const std::tm tm = os::localTime(std::time(nullptr));
  header8[1] = static_cast<char>(tm.tm_year);  // years since 1900
  header8[2] = static_cast<char>(tm.tm_mon + 1);
  header8[3] = static_cast<char>(tm.tm_mday);
  for (int i = 0; i < 4; ++i) header8[4 + i] = static_cast<char>((count >> (8 * i)) & 0xFF);
}

std::string buildHeader(const Header& h) {
  std::string b(32 + 32 * h.fields.size() + 1, '\0');
  b[0] = static_cast<char>(h.version);
  stampHeader(b.data(), h.recordCount);
  std::uint32_t headerLength = static_cast<std::uint32_t>(b.size());
  b[8] = static_cast<char>(headerLength & 0xFF);
  b[9] = static_cast<char>(headerLength >> 8);
  b[10] = static_cast<char>(h.recordLength & 0xFF);
  b[11] = static_cast<char>(h.recordLength >> 8);
  b[28] = h.productionIndex ? 1 : 0;
  b[29] = static_cast<char>(h.ldid);
  std::size_t at = 32;
  for (const Field& f : h.fields) {
    std::memcpy(&b[at], f.name.data(), std::min<std::size_t>(f.name.size(), 10));
    b[at + 11] = f.type;
    b[at + 16] = static_cast<char>(f.length);
    b[at + 17] = static_cast<char>(f.decimals);
    b[at + 31] = f.indexed ? 1 : 0;
    at += 32;
  }
  b[at] = 0x0D;
  return b;
}

}  // namespace pasarela::dbase
