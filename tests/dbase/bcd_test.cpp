// Numeric index keys in dBase IV's 12-byte decimal form.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "base/error.h"
#include "dbase/mdx.h"

using pasarela::dbase::compareKeys;
using pasarela::dbase::decodeNumericKey;
using pasarela::dbase::encodeNumericKey;
using pasarela::dbase::KeyType;

namespace {

std::string bytes(std::initializer_list<int> head) {
  std::string k(12, '\0');
  std::size_t i = 0;
  for (int b : head) k[i++] = static_cast<char>(b);
  return k;
}

// Digit count (bits 2-6 of byte 1) differs between writers and is ignored by
// readers; everything else must match byte for byte.
void expectKey(double value, std::initializer_list<int> head) {
  const std::string got = encodeNumericKey(value);
  const std::string want = bytes(head);
  ASSERT_EQ(got.size(), 12u) << value;
  EXPECT_EQ(static_cast<unsigned char>(got[0]), static_cast<unsigned char>(want[0])) << value;
  EXPECT_EQ(static_cast<unsigned char>(got[1]) & 0x81, static_cast<unsigned char>(want[1]) & 0x81) << value;
  EXPECT_EQ(got.substr(2), want.substr(2)) << value;
}

int digitCount(const std::string& key) { return (static_cast<unsigned char>(key[1]) >> 2) & 0x1F; }

TEST(NumericKey, MatchesKeysWrittenByOtherDbaseSoftware) {
  expectKey(0, {0x34, 0x01});
  expectKey(0.5, {0x34, 0x09, 0x50});
  expectKey(1, {0x35, 0x09, 0x10});
  expectKey(1.5, {0x35, 0x09, 0x15});
  expectKey(10, {0x36, 0x09, 0x10});
  expectKey(11, {0x36, 0x09, 0x11});
  expectKey(100, {0x37, 0x09, 0x10});
  expectKey(105, {0x37, 0x11, 0x10, 0x50});
  expectKey(-0.5, {0x34, 0x89, 0x50});
  expectKey(0.24, {0x34, 0x09, 0x24});
  expectKey(20.5, {0x36, 0x0D, 0x20, 0x50});
  expectKey(-20.5, {0x36, 0x8D, 0x20, 0x50});
  expectKey(0.05, {0x33, 0x09, 0x50});
  expectKey(123456789, {0x3D, 0x25, 0x12, 0x34, 0x56, 0x78, 0x90});
}

TEST(NumericKey, RecordsTheSignificantDigitsLikeDbase) {
  EXPECT_EQ(encodeNumericKey(20.5), bytes({0x36, 0x0D, 0x20, 0x50}));
  EXPECT_EQ(encodeNumericKey(-20.5), bytes({0x36, 0x8D, 0x20, 0x50}));
  EXPECT_EQ(digitCount(encodeNumericKey(0)), 0);
  EXPECT_EQ(digitCount(encodeNumericKey(7)), 1);
  EXPECT_EQ(digitCount(encodeNumericKey(105)), 3);
  EXPECT_EQ(digitCount(encodeNumericKey(0.1)), 1);  // the text's digits, not the double's
}

TEST(NumericKey, DecodesKeysOfEitherDigitCount) {
  EXPECT_EQ(decodeNumericKey(bytes({0x37, 0x11, 0x10, 0x50})), 105.0);  // 4 digits recorded
  EXPECT_EQ(decodeNumericKey(bytes({0x37, 0x0D, 0x10, 0x50})), 105.0);  // 3 digits recorded
  EXPECT_EQ(decodeNumericKey(bytes({0x34, 0x89, 0x50})), -0.5);
  EXPECT_EQ(decodeNumericKey(bytes({0x34, 0x01})), 0.0);
  EXPECT_EQ(decodeNumericKey(bytes({0x33, 0x09, 0x50})), 0.05);
}

TEST(NumericKey, RoundTripsFieldValues) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<long long> mantissa(-999999999999LL, 999999999999LL);
  std::uniform_int_distribution<int> decimals(0, 8);
  for (int i = 0; i < 5000; ++i) {
    double v = static_cast<double>(mantissa(rng));
    for (int d = decimals(rng); d > 0; --d) v /= 10;
    EXPECT_EQ(decodeNumericKey(encodeNumericKey(v)), v);
  }
  for (double v : {1e-40, 3.25e60, -7e-9, 99999999.99999999, 1.0 / 3})
    EXPECT_EQ(decodeNumericKey(encodeNumericKey(v)), v);
}

TEST(NumericKey, KeysCompareAsTheirNumbers) {
  std::vector<double> values = {-1e9, -105, -20.5, -1, -0.5, -0.05, 0,   0.05, 0.1, 0.24,
                                0.5,  1,    1.5,   10, 11,   99,    100, 105,  1e9};
  std::mt19937 rng(3);
  std::shuffle(values.begin(), values.end(), rng);
  for (double a : values)
    for (double b : values) {
      const int c = compareKeys(0x57, KeyType::Numeric, encodeNumericKey(a), encodeNumericKey(b));
      EXPECT_EQ(c < 0, a < b) << a << " " << b;
      EXPECT_EQ(c == 0, a == b) << a << " " << b;
    }
  // The digit count a writer recorded does not change the order.
  EXPECT_EQ(
      compareKeys(0x57, KeyType::Numeric, bytes({0x37, 0x11, 0x10, 0x50}), bytes({0x37, 0x0D, 0x10, 0x50})),
      0);
}

TEST(NumericKey, RejectsNumbersWithoutAKey) {
  EXPECT_THROW(encodeNumericKey(std::numeric_limits<double>::quiet_NaN()), pasarela::Error);
  EXPECT_THROW(encodeNumericKey(std::numeric_limits<double>::infinity()), pasarela::Error);
}

// Date keys: the Julian day number as a little-endian double, the bytes
// Python's struct.pack('<d', jdn) gives.
TEST(DateKey, IsTheJulianDayNumberAsALittleEndianDouble) {
  const auto hex = [](const std::string& key) {
    std::string out;
    for (unsigned char c : key) {
      const char* digits = "0123456789abcdef";
      out += digits[c >> 4];
      out += digits[c & 0x0F];
    }
    return out;
  };
  // 2024-01-15 is day 45306 after 1899-12-30 and Julian day 2460325.
  EXPECT_EQ(hex(pasarela::dbase::encodeDateKey(45306)), "0000008052c54241");
  // Noon of 1899-12-30: day 0.5, Julian day 2415019.5.
  EXPECT_EQ(hex(pasarela::dbase::encodeDateKey(0.5)), "000000c0d56c4241");
  // Later dates sort after earlier ones under the tag's order.
  EXPECT_LT(compareKeys(0x57, KeyType::Date, pasarela::dbase::encodeDateKey(45306),
                        pasarela::dbase::encodeDateKey(45307)),
            0);
}

}  // namespace
