// Numbers stored as text in N and F fields, read against the C library's
// strtod: the engine's shortcut for plain digits must give the very same
// double as the general parse, sign of zero included. Written against
// printf: whole numbers take a shortcut that must give printf's text, cut
// to the field, with halves rounded away from zero where a field has no
// decimals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "dbase/dbf_value.h"

namespace pasarela::dbase {
namespace {

Field numericField(int length, int decimals) {
  Field f;
  f.name = "N";
  f.type = 'N';
  f.length = length;
  f.decimals = decimals;
  f.offset = 1;
  return f;
}

// The record of one field holding `text` right-aligned, as dBase writes it.
std::string recordOf(const Field& f, const std::string& text) {
  std::string record(static_cast<std::size_t>(f.length) + 1, ' ');
  record.replace(record.size() - text.size(), text.size(), text);
  return record;
}

double byStrtod(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

void expectSameBits(double a, double b, const std::string& text) {
  EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "'" << text << "': " << a << " against " << b;
}

TEST(NumberText, PlainNumbersReadAsStrtodReadsThem) {
  const Field f = numericField(19, 6);
  const std::string samples[] = {"0",
                                 "-0",
                                 "7",
                                 "-7",
                                 "3.000000",
                                 "0.100000",
                                 "-0.000000",
                                 "12.5",
                                 "999999999999999",
                                 "0.000001",
                                 ".5",
                                 "-.25",
                                 "5.",
                                 "123456789.123456",
                                 "1234567890123.45"};
  for (const std::string& text : samples) {
    bool ok = false;
    const std::string record = recordOf(f, text);
    const std::optional<double> v = readNumber(f, record.data(), Dialect::DBase4, ok);
    ASSERT_TRUE(ok) << text;
    ASSERT_TRUE(v.has_value()) << text;
    expectSameBits(*v, byStrtod(text), text);
  }
}

TEST(NumberText, RandomDecimalsReadAsStrtodReadsThem) {
  std::mt19937_64 rng(20261209);
  const Field f = numericField(24, 7);  // room for every text made below
  for (int n = 0; n < 20000; ++n) {
    const int intDigits = static_cast<int>(rng() % 12);
    const int fracDigits = static_cast<int>(rng() % 8);
    std::string text = rng() % 3 == 0 ? "-" : "";
    for (int i = 0; i < intDigits; ++i) text += static_cast<char>('0' + rng() % 10);
    if (fracDigits > 0 || rng() % 4 == 0) text += '.';
    for (int i = 0; i < fracDigits; ++i) text += static_cast<char>('0' + rng() % 10);
    if (text.find_first_of("0123456789") == std::string::npos) continue;
    bool ok = false;
    const std::string record = recordOf(f, text);
    const std::optional<double> v = readNumber(f, record.data(), Dialect::DBase4, ok);
    ASSERT_TRUE(ok && v) << text;
    expectSameBits(*v, byStrtod(text), text);
  }
}

TEST(NumberText, WhatIsNoNumberStaysNoNumber) {
  const Field f = numericField(10, 2);
  for (const std::string text : {"-", ".", "-.", "1.2.3", "12-", "1e5x", "**********"}) {
    bool ok = true;
    const std::string record = recordOf(f, text);
    EXPECT_FALSE(readNumber(f, record.data(), Dialect::DBase4, ok).has_value()) << text;
    EXPECT_FALSE(ok) << text;
  }
  bool ok = false;
  const std::string blank = recordOf(f, "");
  EXPECT_FALSE(readNumber(f, blank.data(), Dialect::DBase4, ok).has_value());
  EXPECT_TRUE(ok);  // blank is empty, not wrong
}

TEST(NumberText, CommaAndPlusStillRead) {
  const Field f = numericField(10, 2);
  for (const auto& [text, expected] : {std::pair<std::string, double>{"3,50", 3.5}, {"+12", 12.0}}) {
    bool ok = false;
    const std::string record = recordOf(f, text);
    const std::optional<double> v = readNumber(f, record.data(), Dialect::DBase4, ok);
    ASSERT_TRUE(ok && v) << text;
    EXPECT_EQ(*v, expected) << text;
  }
}

// What printf writes for `value` in the field, or "" when it does not fit.
std::string byPrintf(const Field& f, double value) {
  if (f.decimals == 0) value = value < 0 ? -std::floor(-value + 0.5) : std::floor(value + 0.5);
  if (value == 0) value = 0;  // no "-0"
  char text[128];
  const int n = std::snprintf(text, sizeof text, "%*.*f", f.length, f.decimals, value);
  return n > f.length ? std::string() : std::string(text, static_cast<std::size_t>(n));
}

TEST(NumberText, WholeNumbersAndHalvesWriteAsPrintfWritesThem) {
  std::mt19937_64 random(15);
  std::vector<double> values = {0.0,  -0.0, 1,        -1,          0.5,  -0.5,      2.5,
                                -2.5, 99.5, 1e15 - 1, -(1e15 - 1), 1e15, 4e15 + 0.5};
  for (int digits = 1; digits <= 15; ++digits) {
    const auto top = static_cast<std::int64_t>(std::pow(10.0, digits));
    for (int round = 0; round < 20; ++round) {
      const auto v =
          static_cast<double>(static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(top)));
      values.push_back(v);
      values.push_back(-v);
      values.push_back(v + 0.5);
    }
  }
  for (int length = 1; length <= 20; ++length) {
    for (int decimals = 0; decimals <= 3 && decimals < length; ++decimals) {
      const Field f = numericField(length, decimals);
      for (double v : values) {
        if (decimals > 0 && v != std::trunc(v)) continue;  // halves matter where there are no decimals
        std::string record(static_cast<std::size_t>(length) + 2, '#');
        const std::string expected = byPrintf(f, v);
        const bool written = writeNumber(f, record.data(), Dialect::DBase4, v);
        ASSERT_EQ(written, !expected.empty()) << v << " in N(" << length << "," << decimals << ")";
        if (!written) continue;
        EXPECT_EQ(record, "#" + expected + "#") << v << " in N(" << length << "," << decimals << ")";
      }
    }
  }
}

}  // namespace
}  // namespace pasarela::dbase
