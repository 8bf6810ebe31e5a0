#include "dbase/bcd.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "base/error.h"
#include "dbase/dbf_value.h"
#include "dbase/mdx.h"

namespace pasarela::dbase {
namespace {

// Byte 0 holds 0x34 plus the number of digits before the decimal point.
constexpr int kExponentBias = 0x34;

}  // namespace

namespace bcd {

Decimal parse(std::string_view key) {
  Decimal d;
  if (key.size() < 2) return d;
  d.negative = (static_cast<unsigned char>(key[1]) & 0x80) != 0;
  d.exponent = static_cast<unsigned char>(key[0]) - kExponentBias;
  // The recorded digit count is ignored, as every reader does: the digit bytes decide.
  for (std::size_t i = 2; i < key.size() && i < kKeySize; ++i) {
    const unsigned char b = static_cast<unsigned char>(key[i]);
    for (int nibble : {b >> 4, b & 0x0F})
      d.digits.push_back(static_cast<char>('0' + (nibble > 9 ? 9 : nibble)));
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  // Tolerate keys that are not normalised: drop leading zeros, moving the point.
  std::size_t lead = 0;
  while (lead < d.digits.size() && d.digits[lead] == '0') ++lead;
  d.digits.erase(0, lead);
  d.exponent -= static_cast<int>(lead);
  if (d.digits.empty()) {
    d.negative = false;
    d.exponent = 0;
  }
  return d;
}

namespace {

// Sign of a key's number, and whether its digits are normalised (first
// digit non-zero), which lets two keys compare on their bytes.
struct Shape {
  int sign = 0;
  bool normal = true;
};

Shape shapeOf(std::string_view key) {
  Shape s;
  if (key.size() < 3) {
    s.normal = key.size() < 2;
    return s;
  }
  bool zero = true;
  for (std::size_t i = 2; i < key.size() && i < kKeySize; ++i) zero = zero && key[i] == 0;
  if (zero) return s;
  s.sign = (static_cast<unsigned char>(key[1]) & 0x80) ? -1 : 1;
  s.normal = (static_cast<unsigned char>(key[2]) >> 4) != 0 && key.size() >= kKeySize;
  return s;
}

int slowCompare(std::string_view a, std::string_view b) {
  const Decimal x = parse(a);
  const Decimal y = parse(b);
  auto sign = [](const Decimal& d) { return d.digits.empty() ? 0 : (d.negative ? -1 : 1); };
  const int sx = sign(x);
  const int sy = sign(y);
  if (sx != sy) return sx < sy ? -1 : 1;
  if (sx == 0) return 0;
  int magnitude = 0;
  if (x.exponent != y.exponent) {
    magnitude = x.exponent < y.exponent ? -1 : 1;
  } else {
    const int c = x.digits.compare(y.digits);
    magnitude = c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  return sx < 0 ? -magnitude : magnitude;
}

}  // namespace

int compare(std::string_view a, std::string_view b) {
  const Shape x = shapeOf(a);
  const Shape y = shapeOf(b);
  if (x.sign != y.sign) return x.sign < y.sign ? -1 : 1;
  if (x.sign == 0) return 0;
  if (!x.normal || !y.normal) return slowCompare(a, b);
  // Normalised keys: the exponent byte, then the digit bytes, decide.
  int magnitude = 0;
  const unsigned char ea = static_cast<unsigned char>(a[0]);
  const unsigned char eb = static_cast<unsigned char>(b[0]);
  if (ea != eb) {
    magnitude = ea < eb ? -1 : 1;
  } else {
    const int c = a.substr(2, kKeySize - 2).compare(b.substr(2, kKeySize - 2));
    magnitude = c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  return x.sign < 0 ? -magnitude : magnitude;
}

}  // namespace bcd

std::string encodeNumericKey(double value) {
  std::string key(bcd::kKeySize, '\0');
  if (std::isnan(value) || std::isinf(value)) throw Error("No se puede indexar un número no finito");
  key[0] = static_cast<char>(kExponentBias);
  key[1] = 0x01;
  if (value == 0) return key;
  // The shortest decimal form that reads back as the same double: the
  // digits a field's text holds (0.1, not 0.1000000000000000055).
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
  const std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
  const std::size_t e = text.find('e');
  std::string digits;
  for (char c : text.substr(0, e))
    if (c != '.') digits.push_back(c);
  int exponent = 0;
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(), exponent);
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  const int biased = exponent + 1 + kExponentBias;
  if (biased < 0) return key;  // too small for the format: indexes as zero
  if (biased > 0xFF) throw Error("Número demasiado grande para un índice");
  if (digits.size() > bcd::kMaxDigits) digits.resize(bcd::kMaxDigits);
  key[0] = static_cast<char>(biased);
  key[1] = static_cast<char>((value < 0 ? 0x80 : 0x00) | (digits.size() << 2) | 0x01);
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const int d = digits[i] - '0';
    key[2 + i / 2] = static_cast<char>(static_cast<unsigned char>(key[2 + i / 2]) | (i % 2 ? d : d << 4));
  }
  return key;
}

double decodeNumericKey(std::string_view key) {
  const bcd::Decimal d = bcd::parse(key);
  if (d.digits.empty()) return 0.0;
  const std::string text = (d.negative ? "-0." : "0.") + d.digits + "e" + std::to_string(d.exponent);
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::string encodeDateKey(double days) {
  // The Julian day number as a double, in the byte order of the x86 that
  // wrote the first of these files.
  const double julian = days + static_cast<double>(kJulianOrigin);
  std::string key(sizeof julian, '\0');
  std::memcpy(key.data(), &julian, sizeof julian);
  return key;
}

}  // namespace pasarela::dbase
