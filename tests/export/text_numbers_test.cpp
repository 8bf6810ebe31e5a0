// The numbering of distinct texts against a standard map doing the same:
// every text keeps the number it got first, through many growths of the
// table, whatever bytes it holds.
#include "export/text_numbers.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_map>
#include <vector>

namespace pasarela::exporting {
namespace {

TEST(TextNumbers, NumbersInOrderOfFirstAppearanceAsAMapWould) {
  std::mt19937 rng(11);
  TextNumbers numbers;
  std::unordered_map<std::string, std::uint32_t> expected;
  std::vector<std::string> byNumber;
  std::string text;
  for (int i = 0; i < 60000; ++i) {
    // Codes from a small alphabet (many repeats, some empty), and now and
    // then binary keys with zero bytes; a third of them come again at once,
    // as the lines of one group do.
    if (rng() % 3 != 0) {
      text.clear();
      // Some long enough for every way two texts are compared.
      const std::size_t length = rng() % (i % 7 == 0 ? 25 : 7);
      for (std::size_t c = 0; c < length; ++c) text += "AB1ÑC\0"[rng() % 6];
      if (i % 5 == 0) text += std::string(1, '\0') + std::to_string(rng() % 9000);
    }
    auto [it, added] = expected.try_emplace(text, static_cast<std::uint32_t>(expected.size()));
    if (added) byNumber.push_back(text);
    // Texts in runs may be looked up either way.
    ASSERT_EQ(i % 2 == 0 ? numbers.number(text) : numbers.numberInRun(text), it->second) << i;
  }
  ASSERT_EQ(numbers.size(), expected.size());
  ASSERT_GT(numbers.size(), 5000u);  // the table grew many times
  for (std::uint32_t n = 0; n < byNumber.size(); ++n) {
    EXPECT_EQ(numbers.text(n), byNumber[n]);
    EXPECT_EQ(numbers.find(byNumber[n]), n);
  }
  EXPECT_FALSE(numbers.find("no está").has_value());
  EXPECT_EQ(numbers.size(), expected.size());  // looking up adds nothing
}

TEST(TextNumbers, TextsInARunDifferingInOneByteAreTwoTexts) {
  // Of every length up to 24, one after the other: equal but for one byte,
  // wherever that byte is.
  TextNumbers numbers;
  for (std::size_t length = 1; length <= 24; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      std::string a(length, 'k');
      std::string b = a;
      a[at] = '1';
      b[at] = '2';
      const std::uint32_t na = numbers.numberInRun(a);
      const std::uint32_t nb = numbers.numberInRun(b);
      ASSERT_NE(na, nb) << "length " << length << " at " << at;
      ASSERT_EQ(numbers.numberInRun(b), nb);
      ASSERT_EQ(numbers.number(a), na);
    }
  }
}

TEST(TextNumbers, TheEmptyTextIsATextLikeAnyOther) {
  TextNumbers numbers;
  EXPECT_FALSE(numbers.find("").has_value());
  EXPECT_EQ(numbers.number(""), 0u);
  EXPECT_EQ(numbers.number("A"), 1u);
  EXPECT_EQ(numbers.number(""), 0u);
  EXPECT_EQ(numbers.text(0), "");
  EXPECT_EQ(numbers.text(1), "A");
}

TEST(TextNumbers, TextsOfOneByteRepeatedDifferInTheirSize) {
  // "A", "AA" and "AAA" read as the same word of bytes; only their sizes
  // tell them apart. Blanks and NULs likewise.
  TextNumbers numbers;
  std::vector<std::string> texts;
  for (char c : {'A', ' ', '\0'})
    for (std::size_t n = 1; n <= 17; ++n) texts.emplace_back(n, c);
  for (std::size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(numbers.number(texts[i]), i) << i;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    ASSERT_EQ(numbers.find(texts[i]), std::optional<std::uint32_t>(static_cast<std::uint32_t>(i))) << i;
    ASSERT_EQ(numbers.text(static_cast<std::uint32_t>(i)), texts[i]);
  }
}

}  // namespace
}  // namespace pasarela::exporting
