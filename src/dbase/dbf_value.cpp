#include "dbase/dbf_value.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "base/text.h"

namespace pasarela::dbase {
namespace {

// dBase 7 timestamps count milliseconds from 0001-01-01 less one day.
constexpr double kDBase7Origin = 693594.0 + 1.0;

std::uint32_t le32(const char* p) { return text::readLe32(p); }
std::uint32_t be32(const char* p) { return text::readBe32(p); }
std::uint64_t le64(const char* p) { return le32(p) | (static_cast<std::uint64_t>(le32(p + 4)) << 32); }
std::uint64_t be64(const char* p) { return (static_cast<std::uint64_t>(be32(p)) << 32) | be32(p + 4); }
void putLe32(char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void putLe64(char* p, std::uint64_t v) {
  putLe32(p, static_cast<std::uint32_t>(v));
  putLe32(p + 4, static_cast<std::uint32_t>(v >> 32));
}
void putBe32(char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * (3 - i))) & 0xFF);
}
void putBe64(char* p, std::uint64_t v) {
  putBe32(p, static_cast<std::uint32_t>(v >> 32));
  putBe32(p + 4, static_cast<std::uint32_t>(v));
}

double bitsToDouble(std::uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}
std::uint64_t doubleToBits(double d) {
  std::uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return bits;
}

// dBase 7 stores doubles big-endian with the sign bit flipped (negative
// numbers with every bit inverted), so that bytes sort like numbers.
double dbase7Double(const char* p) {
  std::uint64_t bits = be64(p);
  bits = (bits & 0x8000000000000000ULL) ? bits & 0x7FFFFFFFFFFFFFFFULL : ~bits;
  return bitsToDouble(bits);
}
void putDBase7Double(char* p, double d) {
  std::uint64_t bits = doubleToBits(d);
  bits = (bits & 0x8000000000000000ULL) ? ~bits : bits | 0x8000000000000000ULL;
  putBe64(p, bits);
}

bool allBytes(const char* p, int n, char c) {
  for (int i = 0; i < n; ++i)
    if (p[i] != c) return false;
  return true;
}

bool binaryDialect(Dialect d) { return d == Dialect::VisualFoxPro || d == Dialect::DBase7; }

}  // namespace

ValueClass classify(const Field& f, Dialect) {
  switch (f.type) {
    case 'C':
    case 'V':
      return ValueClass::Text;
    case 'N':
    case 'F':
    case 'I':
    case '+':
    case 'O':
    case 'Y':
      return ValueClass::Number;
    case 'B':
      return f.isMemo() ? ValueClass::Memo : ValueClass::Number;
    case 'L':
      return ValueClass::Logical;
    case 'D':
      return f.length == 8 ? ValueClass::Date : ValueClass::Binary;
    case 'T':
    case '@':
      return ValueClass::DateTime;
    case 'M':
    case 'G':
    case 'P':
      return f.isMemo() ? ValueClass::Memo : ValueClass::Binary;
    default:
      return ValueClass::Binary;
  }
}

namespace {

std::optional<double> readBinaryNumber(const Field& f, const char* p, Dialect dialect) {
  switch (f.type) {
    case 'I':
    case '+':
      if (f.length != 4) break;
      if (dialect == Dialect::DBase7)
        return static_cast<double>(static_cast<std::int32_t>(be32(p) ^ 0x80000000u));
      return static_cast<double>(static_cast<std::int32_t>(le32(p)));
    case 'B':
      if (f.length != 8) break;
      return bitsToDouble(le64(p));
    case 'O':
      if (f.length != 8) break;
      if (dialect == Dialect::DBase7) return dbase7Double(p);
      return bitsToDouble(le64(p));
    case 'Y':
      if (f.length != 8) break;
      return static_cast<double>(static_cast<std::int64_t>(le64(p))) / 10000.0;
    default:
      break;
  }
  return std::nullopt;
}

}  // namespace

std::optional<double> plainDecimal(std::string_view s) {
  // Up to 15 digits with at most one decimal point, what numeric fields
  // hold: the digits make an exact whole number and one division by an
  // exact power of ten rounds as the general parse does.
  if (s.empty() || s.size() > 16) return std::nullopt;
  static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const std::size_t e = s.size();
  const bool negative = s[0] == '-';
  const std::size_t start = negative ? 1 : 0;
  std::size_t i = start, dot = e;
  std::uint64_t whole = 0;
  for (; i < e; ++i) {
    const unsigned digit = static_cast<unsigned char>(s[i]) - unsigned{'0'};
    if (digit <= 9) {
      whole = whole * 10 + digit;
    } else if (s[i] == '.' && dot == e) {
      dot = i;
    } else {
      return std::nullopt;
    }
  }
  const std::size_t digits = (e - start) - (dot == e ? 0 : 1);
  if (digits == 0 || digits > 15) return std::nullopt;
  double value = static_cast<double>(whole);
  if (dot != e && e - dot - 1 > 0) value /= kPowersOfTen[e - dot - 1];
  return negative ? -value : value;
}

std::optional<double> readNumber(const Field& f, const char* record, Dialect dialect, bool& ok) {
  ok = true;
  const char* p = record + f.offset;
  if (std::optional<double> binary = readBinaryNumber(f, p, dialect)) {
    if (std::isfinite(*binary)) return binary;
    ok = false;  // NaN or infinity: not a number a table means
    return std::nullopt;
  }
  // Text numbers (N, F, and odd widths of the binary types read as text).
  std::string_view s(p, static_cast<std::size_t>(f.length));
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\0')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\0')) --e;
  if (b == e) return std::nullopt;
  if (std::optional<double> plain = plainDecimal(s.substr(b, e - b))) return plain;
  std::string text(s.substr(b, e - b));
  for (char& c : text)
    if (c == ',') c = '.';
  if (text[0] == '+') text.erase(0, 1);
  if (text.find_first_not_of('*') == std::string::npos) {
    ok = false;  // dBase's overflow mark
    return std::nullopt;
  }
  double value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(value)) {
    ok = false;
    return std::nullopt;
  }
  return value;
}

std::optional<bool> readLogical(const Field& f, const char* record) {
  switch (record[f.offset]) {
    case 'T':
    case 't':
    case 'Y':
    case 'y':
      return true;
    case 'F':
    case 'f':
    case 'N':
    case 'n':
      return false;
    default:
      return std::nullopt;
  }
}

std::optional<double> readDays(const Field& f, const char* record, Dialect dialect) {
  const char* p = record + f.offset;
  if (f.type == 'D' && f.length == 8) {
    int v[3] = {0, 0, 0};
    const int widths[3] = {4, 2, 2};
    int at = 0;
    for (int k = 0; k < 3; ++k) {
      for (int i = 0; i < widths[k]; ++i, ++at) {
        if (p[at] < '0' || p[at] > '9') return std::nullopt;
        v[k] = v[k] * 10 + (p[at] - '0');
      }
    }
    if (v[1] < 1 || v[1] > 12 || v[2] < 1 || v[2] > 31) return std::nullopt;
    // 20240230 is no date: it must not read as the 1st of March.
    const std::int64_t days = daysFromCivil(v[0], v[1], v[2]);
    int y = 0, m = 0, d = 0;
    civilFromDays(days, y, m, d);
    if (y != v[0] || m != v[1] || d != v[2]) return std::nullopt;
    return static_cast<double>(days);
  }
  if ((f.type == 'T' || f.type == '@') && f.length == 8) {
    if (allBytes(p, 8, '\0') || allBytes(p, 8, ' ')) return std::nullopt;
    if (f.type == '@' && dialect == Dialect::DBase7) {
      double days = dbase7Double(p) / 86400000.0 - kDBase7Origin;
      if (!std::isfinite(days) || std::fabs(days) > 3.0e6) return std::nullopt;
      return days;
    }
    std::uint32_t julian = le32(p);
    std::uint32_t ms = le32(p + 4);
    if (julian == 0) return std::nullopt;
    return static_cast<double>(static_cast<std::int64_t>(julian) - kJulianOrigin) + ms / 86400000.0;
  }
  return std::nullopt;
}

std::uint32_t readMemoBlock(const Field& f, const char* record) {
  const char* p = record + f.offset;
  if (f.length == 4) return le32(p);
  std::uint32_t v = 0;
  for (int i = 0; i < f.length; ++i) {
    char c = p[i];
    if (c >= '0' && c <= '9') {
      if (v > 400000000u) return 0;
      v = v * 10 + static_cast<std::uint32_t>(c - '0');
    } else if (c != ' ' && c != '\0') {
      return 0;
    }
  }
  return v;
}

std::string formatNumber(double value) {
  if (value == 0) return "0";
  char buf[400];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
  if (ec != std::errc()) return std::to_string(value);
  return std::string(buf, ptr);
}

void civilFromDays(std::int64_t days, int& year, int& month, int& day) {
  // Howard Hinnant's algorithm over days since 1970-01-01.
  std::int64_t z = days - 25569 + 719468;  // 1899-12-30 -> 1970-01-01
  std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  std::int64_t doe = z - era * 146097;
  std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  std::int64_t y = yoe + era * 400;
  std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

std::int64_t daysFromCivil(int year, int month, int day) {
  std::int64_t y = year - (month <= 2);
  std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  std::int64_t yoe = y - era * 400;
  std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 25569;
}

std::string formatDays(double days, bool withTime) {
  double whole = std::floor(days);
  int y, m, d;
  civilFromDays(static_cast<std::int64_t>(whole), y, m, d);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
  std::string out = buf;
  long seconds = std::lround((days - whole) * 86400.0);
  if (withTime && seconds > 0) {
    std::snprintf(buf, sizeof buf, " %02ld:%02ld:%02ld", seconds / 3600 % 24, seconds / 60 % 60,
                  seconds % 60);
    out += buf;
  }
  return out;
}

void writeBlank(const Field& f, char* record, Dialect dialect) {
  char* p = record + f.offset;
  bool binary = f.system || (binaryDialect(dialect) && std::strchr("IBYTO@+", f.type)) ||
                (f.isMemo() && f.length == 4) || (f.type == 'B' && f.length == 8) || f.type == 'Q' ||
                f.type == 'W';
  std::memset(p, binary ? 0 : ' ', static_cast<std::size_t>(f.length));
}

bool writeNumber(const Field& f, char* record, Dialect dialect, double value) {
  char* p = record + f.offset;
  if (!std::isfinite(value)) return false;
  switch (f.type) {
    case 'I':
    case '+':
      if (f.length != 4) break;
      value = std::nearbyint(value);
      if (value < -2147483648.0 || value > 2147483647.0) return false;
      if (dialect == Dialect::DBase7)
        putBe32(p, static_cast<std::uint32_t>(static_cast<std::int32_t>(value)) ^ 0x80000000u);
      else
        putLe32(p, static_cast<std::uint32_t>(static_cast<std::int32_t>(value)));
      return true;
    case 'B':
    case 'O':
      if (f.length != 8) break;
      if (f.type == 'O' && dialect == Dialect::DBase7)
        putDBase7Double(p, value);
      else
        putLe64(p, doubleToBits(value));
      return true;
    case 'Y':
      if (f.length != 8) break;
      if (std::fabs(value) > 9.2e14) return false;
      putLe64(p, static_cast<std::uint64_t>(static_cast<std::int64_t>(std::llround(value * 10000.0))));
      return true;
    default:
      break;
  }
  if (f.type != 'N' && f.type != 'F') return false;
  // Whole numbers below 1e15 convert to a whole count and back unchanged:
  // they need neither rounding nor the general test for a whole number.
  const auto whole = [](double v, std::int64_t& w) {
    if (!(std::fabs(v) < 1e15)) return false;
    w = static_cast<std::int64_t>(v);
    return static_cast<double>(w) == v;
  };
  std::int64_t count = 0;
  // Halves away from zero, not to even.
  if (f.decimals == 0 && !whole(value, count)) value = std::round(value);
  char buf[128];
  if (f.decimals >= 0 && f.decimals < 64 && whole(value, count)) {
    // Whole numbers (the common case) without printf: the same text, "-0" as 0.
    char digits[96];
    char* end = std::to_chars(digits, digits + 20, count).ptr;
    if (f.decimals > 0) {
      *end++ = '.';
      end = std::fill_n(end, f.decimals, '0');
    }
    const int width = static_cast<int>(end - digits);
    if (width > f.length) return false;
    putInBlanks(p, static_cast<std::size_t>(f.length),
                std::string_view(digits, static_cast<std::size_t>(width)),
                static_cast<std::size_t>(f.length - width));
    return true;
  }
  int n = std::snprintf(buf, sizeof buf, "%*.*f", f.length, f.decimals, value);
  if (n < 0 || n > f.length) return false;
  // "-0" and "-0.00" are written as zero.
  bool zero = true;
  for (int i = 0; i < n; ++i)
    if (buf[i] >= '1' && buf[i] <= '9') zero = false;
  if (zero) n = std::snprintf(buf, sizeof buf, "%*.*f", f.length, f.decimals, 0.0);
  std::memcpy(p, buf, static_cast<std::size_t>(n));
  return true;
}

void writeLogical(const Field& f, char* record, bool value) {
  record[f.offset] = value ? 'T' : 'F';
  if (f.length > 1) std::memset(record + f.offset + 1, ' ', static_cast<std::size_t>(f.length - 1));
}

bool writeDays(const Field& f, char* record, Dialect dialect, double days) {
  char* p = record + f.offset;
  if (!std::isfinite(days) || std::fabs(days) > 3.0e6) return false;
  double whole = std::floor(days);
  if (f.type == 'D' && f.length == 8) {
    int y, m, d;
    civilFromDays(static_cast<std::int64_t>(whole), y, m, d);
    if (y < 0 || y > 9999) return false;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
    std::memcpy(p, buf, 8);
    return true;
  }
  if ((f.type == 'T' || f.type == '@') && f.length == 8) {
    if (f.type == '@' && dialect == Dialect::DBase7) {
      putDBase7Double(p, (days + kDBase7Origin) * 86400000.0);
      return true;
    }
    putLe32(p, static_cast<std::uint32_t>(static_cast<std::int64_t>(whole) + kJulianOrigin));
    putLe32(p + 4, static_cast<std::uint32_t>(std::lround((days - whole) * 86400000.0)));
    return true;
  }
  return false;
}

void setNullFlag(const Field& f, Field* nullFlags, char* record, bool isNull) {
  if (f.nullBit < 0 || !nullFlags) return;
  char& byte = record[nullFlags->offset + f.nullBit / 8];
  unsigned char mask = static_cast<unsigned char>(1u << (f.nullBit % 8));
  byte = static_cast<char>(isNull ? (static_cast<unsigned char>(byte) | mask)
                                  : (static_cast<unsigned char>(byte) & ~mask));
}

}  // namespace pasarela::dbase
