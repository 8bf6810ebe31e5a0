// Numbers stored as text in N and F fields, read against the C library's
// strtod: the engine's shortcut for plain digits must give the very same
// double as the general parse, sign of zero included.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

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

}  // namespace
}  // namespace pasarela::dbase
