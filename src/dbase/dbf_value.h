// Reading and writing one field's bytes inside a record buffer.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "base/text.h"
#include "dbase/dbf_header.h"

namespace pasarela::dbase {

// 1899-12-30 as a Julian day number, the origin of day counts in here.
inline constexpr std::int64_t kJulianOrigin = 2415019;

// How the table object reads a field.
enum class ValueClass { Text, Number, Logical, Date, DateTime, Memo, Binary };

ValueClass classify(const Field& field, Dialect dialect);

// A numeric field's value; nullopt when blank. `ok` turns false when the
// bytes are not a number (the value is then nullopt too).
std::optional<double> readNumber(const Field& field, const char* record, Dialect dialect, bool& ok);
// A plain decimal ("-12.50": up to 15 digits, a sign and a point at most)
// read without the general parse, to the very same double; nullopt for any
// other text, which the general parse then reads.
std::optional<double> plainDecimal(std::string_view text);
std::optional<bool> readLogical(const Field& field, const char* record);
// Days since 1899-12-30 (with the time as a fraction); nullopt when blank or
// not a date.
std::optional<double> readDays(const Field& field, const char* record, Dialect dialect);
// The stored bytes without trailing blanks (and NULs). Inline: read for
// every text field of every record.
inline std::string_view readTrimmed(const Field& field, const char* record) {
  const char* p = record + field.offset;
  std::size_t n = static_cast<std::size_t>(field.length);
  // Eight bytes at a time from the end: the last byte kept is the last
  // that is neither a blank nor a NUL (the highest byte of the word).
  const auto nonZeroBytes = [](std::uint64_t v) {  // the high bit of each byte that is not 0
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    return (((v & kLow7) + kLow7) | v) & ~kLow7;
  };
  while (n >= 8) {
    const std::uint64_t word = text::readLe64(p + n - 8);
    const std::uint64_t kept = nonZeroBytes(word ^ 0x2020202020202020ULL) & nonZeroBytes(word);
    if (kept != 0) return {p, n - 8 + static_cast<std::size_t>(63 - std::countl_zero(kept)) / 8 + 1};
    n -= 8;
  }
  while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\0')) --n;
  return {p, n};
}
// Block number of a memo field; 0 when it has none.
std::uint32_t readMemoBlock(const Field& field, const char* record);
inline bool isNullFlagged(const Field& field, const Field* nullFlags, const char* record) {
  if (field.nullBit < 0 || !nullFlags) return false;
  const auto byte = static_cast<unsigned char>(record[nullFlags->offset + field.nullBit / 8]);
  return (byte >> (field.nullBit % 8)) & 1;
}

// Shortest decimal text of a number, without exponent ("12.5", "3", "-0.25").
std::string formatNumber(double value);
// A date as YYYY-MM-DD; a date-time adds " HH:MM:SS" when it has a time.
std::string formatDays(double days, bool withTime);
// Civil date of a day count and back.
void civilFromDays(std::int64_t days, int& year, int& month, int& day);
std::int64_t daysFromCivil(int year, int month, int day);

// Writers; each returns false when the value does not fit the field.
void writeBlank(const Field& field, char* record, Dialect dialect);
// Up to 16 bytes moved as two words that overlap when there are fewer,
// without a call: most fields are short, and set on every record.
inline void copyShort(char* to, const char* from, std::size_t n) {
  if (n >= 8) {
    char first[8], last[8];
    std::memcpy(first, from, 8);
    std::memcpy(last, from + n - 8, 8);
    std::memcpy(to, first, 8);
    std::memcpy(to + n - 8, last, 8);
  } else if (n >= 4) {
    char first[4], last[4];
    std::memcpy(first, from, 4);
    std::memcpy(last, from + n - 4, 4);
    std::memcpy(to, first, 4);
    std::memcpy(to + n - 4, last, 4);
  } else if (n > 0) {
    const char a = from[0], b = from[n / 2], c = from[n - 1];
    to[0] = a;
    to[n / 2] = b;
    to[n - 1] = c;
  }
}
// `length` bytes at `to`: blanks, with `bytes` from `at` on (they fit).
inline void putInBlanks(char* to, std::size_t length, std::string_view bytes, std::size_t at) {
  if (length <= 16) {
    char padded[16];
    std::memset(padded, ' ', sizeof padded);
    copyShort(padded + at, bytes.data(), bytes.size());
    copyShort(to, padded, length);
    return;
  }
  std::memset(to, ' ', length);
  std::memcpy(to + at, bytes.data(), bytes.size());
}
// Cut or padded with blanks.
inline void writeText(const Field& field, char* record, std::string_view bytes) {
  const auto length = static_cast<std::size_t>(field.length);
  putInBlanks(record + field.offset, length, bytes.substr(0, length), 0);
}
bool writeNumber(const Field& field, char* record, Dialect dialect, double value);
void writeLogical(const Field& field, char* record, bool value);
bool writeDays(const Field& field, char* record, Dialect dialect, double days);
void setNullFlag(const Field& field, Field* nullFlags, char* record, bool isNull);

}  // namespace pasarela::dbase
