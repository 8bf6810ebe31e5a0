// The shared text helpers, on the inputs the file formats and users give.
#include "base/text.h"

#include <gtest/gtest.h>

namespace pasarela::text {
namespace {

TEST(AsciiCase, ChangesAsciiLettersOnly) {
  EXPECT_EQ(upperAscii("codasig_1 Ñ"), "CODASIG_1 Ñ");  // UTF-8 bytes untouched
  EXPECT_EQ(lowerAscii("AULAT.DBF"), "aulat.dbf");
  EXPECT_TRUE(equalsIgnoreCase("Codasig", "CODASIG"));
  EXPECT_FALSE(equalsIgnoreCase("Codasig", "CODASI"));
  EXPECT_FALSE(equalsIgnoreCase("año", "AÑO"));  // only ASCII folds
  EXPECT_TRUE(equalsIgnoreCase("", ""));
}

TEST(Trim, DropsSpacesAndTabsAtBothEnds) {
  EXPECT_EQ(trim("  CODIGO \t"), "CODIGO");
  EXPECT_EQ(trim(" \t "), "");
  EXPECT_EQ(trim("A B"), "A B");
  EXPECT_EQ(trimRight("  A  "), "  A");
  EXPECT_EQ(trimRight(""), "");
}

TEST(LittleEndian, ReadsAndWritesTheFormatsNumbers) {
  const unsigned char bytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xF8};
  EXPECT_EQ(readLe16(bytes), 0x0201u);
  EXPECT_EQ(readLe32(bytes), 0x04030201u);
  EXPECT_EQ(readLe64(bytes), 0xF807060504030201ull);
  EXPECT_EQ(readBe32(bytes), 0x01020304u);
  unsigned char out[4] = {};
  writeLe32(out, 0xA1B2C3D4u);
  EXPECT_EQ(out[0], 0xD4);
  EXPECT_EQ(out[3], 0xA1);
  writeLe16(out, 0x1234);
  EXPECT_EQ(out[0], 0x34);
  EXPECT_EQ(out[1], 0x12);
}

std::u32string decode(std::string_view s) {
  std::u32string out;
  for (std::size_t at = 0; at < s.size();) out += nextCodePoint(s, at);
  return out;
}

TEST(Utf8, WalksWellFormedText) {
  EXPECT_EQ(decode("Peña €𝄞"), U"Peña €𝄞");
  std::string round;
  for (char32_t cp : std::u32string(U"Ñ€𝄞a")) appendUtf8(round, cp);
  EXPECT_EQ(round, "Ñ€𝄞a");
}

TEST(Utf8, MalformedBytesAreOneReplacementEach) {
  constexpr char32_t R = 0xFFFD;
  EXPECT_EQ(decode("a\xC3"), (std::u32string{U'a', R}));                // cut short
  EXPECT_EQ(decode("\xC0\x80"), (std::u32string{R, R}));                // overlong NUL
  EXPECT_EQ(decode("\xE0\x80\x80"), (std::u32string{R, R, R}));         // overlong
  EXPECT_EQ(decode("\xED\xA0\x80"), (std::u32string{R, R, R}));         // surrogate
  EXPECT_EQ(decode("\xF4\x90\x80\x80"), (std::u32string{R, R, R, R}));  // past U+10FFFF
  EXPECT_EQ(decode("\xC3(x"), (std::u32string{R, U'(', U'x'}));         // bad continuation
  std::string out;
  appendUtf8(out, 0xD800);
  EXPECT_EQ(out, "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace pasarela::text
