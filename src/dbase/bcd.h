// dBase IV's 12-byte decimal floating-point keys of numeric index tags.
#pragma once

#include <string>
#include <string_view>

namespace pasarela::dbase::bcd {

constexpr std::size_t kKeySize = 12;
constexpr int kMaxDigits = 20;

// A decoded key: sign, decimal exponent and up to 20 significant digits
// (no leading zero; empty for zero). The value is 0.<digits> x 10^exponent.
struct Decimal {
  bool negative = false;
  int exponent = 0;
  std::string digits;
};

Decimal parse(std::string_view key);
// Order of two keys as numbers, whatever digit count the writer recorded.
int compare(std::string_view a, std::string_view b);

}  // namespace pasarela::dbase::bcd
