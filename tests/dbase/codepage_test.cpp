// The engine's code-page tables against glibc's iconv: two independent
// sources must agree on every byte of every page.
#include "dbase/codepage.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <random>

#include "dbase/codepage_tables.h"

namespace pasarela::dbase {
namespace {

std::string iconvName(int page) {
  return page >= 1250 && page <= 1258 ? "WINDOWS-" + std::to_string(page) : "CP" + std::to_string(page);
}

// UTF-8 of one byte by iconv; empty when the page defines none.
std::string iconvUtf8(iconv_t cd, unsigned char byte) {
  char in[1] = {static_cast<char>(byte)};
  char out[8] = {};
  char* inp = in;
  char* outp = out;
  std::size_t inLeft = 1, outLeft = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1)) return {};
  return std::string(out, sizeof out - outLeft);
}

TEST(CodePageTables, EqualIconvOnEveryByte) {
  ASSERT_EQ(tabledCodePages().size(), 16u);
  for (int page : tabledCodePages()) {
    SCOPED_TRACE(page);
    iconv_t cd = iconv_open("UTF-8", iconvName(page).c_str());
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    const CodePage& cp = CodePage::forNumber(page);
    for (int b = 0x80; b < 0x100; ++b) {
      const std::string expected = iconvUtf8(cd, static_cast<unsigned char>(b));
      const std::string byte(1, static_cast<char>(b));
      if (expected.empty()) {
        // Undefined: read as the C1 control of that value, and back.
        EXPECT_EQ((*highCodePoints(page))[static_cast<std::size_t>(b - 0x80)], 0u) << "byte " << b;
      } else {
        EXPECT_EQ(cp.toUtf8(byte), expected) << "byte " << b;
      }
      // Back to a byte of the same character (a page may hold one twice).
      EXPECT_EQ(cp.toUtf8(cp.fromUtf8(cp.toUtf8(byte))), cp.toUtf8(byte)) << "byte " << b;
    }
    iconv_close(cd);
  }
}

// A whole text through iconv, UTF-8 to the page.
std::string iconvFromUtf8(int page, const std::string& text) {
  iconv_t cd = iconv_open(iconvName(page).c_str(), "UTF-8");
  std::string in = text, out(text.size() * 2, '\0');
  char* inp = in.data();
  char* outp = out.data();
  std::size_t inLeft = in.size(), outLeft = out.size();
  const bool ok = iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  return ok ? out.substr(0, out.size() - outLeft) : std::string();
}

TEST(CodePageTables, TextsWriteAsIconvWritesThem) {
  const std::string text = "Peña Àlgebra, Ciències i Educació Física: ç ü Ñ";
  for (int page : {850, 1252}) {
    SCOPED_TRACE(page);
    const std::string expected = iconvFromUtf8(page, text);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(CodePage::forNumber(page).fromUtf8(text), expected);
  }
  // A character the page lacks is a question mark, and the rest is kept.
  EXPECT_EQ(CodePage::forNumber(850).fromUtf8("a中ñ"), "a?" + iconvFromUtf8(850, "ñ"));
}

// Whole texts of random bytes each page defines, read through iconv: the
// page reads them as iconv does, and writes iconv's text back to the same
// bytes.
TEST(CodePageTables, WholeTextsReadAndWriteAsIconvDoes) {
  std::mt19937 random(850);
  for (int page : {437, 850, 1252}) {
    SCOPED_TRACE(page);
    const CodePage& cp = CodePage::forNumber(page);
    iconv_t cd = iconv_open("UTF-8", iconvName(page).c_str());
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string defined;  // the bytes iconv reads in this page
    for (int b = 0x20; b < 0x100; ++b)
      if (b < 0x80 || !iconvUtf8(cd, static_cast<unsigned char>(b)).empty()) defined += static_cast<char>(b);
    for (int round = 0; round < 300; ++round) {
      std::string bytes, expected;
      const std::size_t length = random() % 60;
      for (std::size_t n = 0; n < length; ++n) {
        const char b = defined[random() % defined.size()];
        bytes += b;
        expected += static_cast<unsigned char>(b) < 0x80 ? std::string(1, b)
                                                         : iconvUtf8(cd, static_cast<unsigned char>(b));
      }
      ASSERT_EQ(cp.toUtf8(bytes), expected);
      ASSERT_EQ(cp.fromUtf8(expected), bytes);
    }
    iconv_close(cd);
  }
}

TEST(CodePageTables, BrokenAndForeignCharactersBecomeQuestionMarks) {
  const CodePage& cp = CodePage::forNumber(1252);
  // A lone lead byte, a lead byte at the end, a continuation byte alone,
  // an overlong form, and characters the page lacks, among letters it has.
  EXPECT_EQ(cp.fromUtf8("a\xC3"
                        "b"),
            "a?b");
  EXPECT_EQ(cp.fromUtf8("\xC3\xB1\xC3"), "\xF1?");
  EXPECT_EQ(cp.fromUtf8("\x80\xC3\xA9"), "?\xE9");
  EXPECT_EQ(cp.fromUtf8("\xC0\xAF"), "??");
  EXPECT_EQ(cp.fromUtf8("\xE4\xB8\xAD\xC3\xBC\xF0\x9F\x98\x80"), "?\xFC?");
  EXPECT_EQ(cp.fromUtf8("\xE2\x82\xAC"), "\x80");  // the euro sign, beyond 0xFF
}

TEST(CodePageTables, EveryPageADriverNamesHasATable) {
  for (int ldid = 0; ldid < 256; ++ldid) {
    const int page = CodePage::numberForLdid(static_cast<std::uint8_t>(ldid));
    EXPECT_NE(highCodePoints(page), nullptr) << "driver " << ldid << " page " << page;
  }
  EXPECT_EQ(highCodePoints(65001), nullptr);
  EXPECT_EQ(CodePage::forNumber(65001).toUtf8("\x80"), "€");  // no table: read as 1252
}

}  // namespace
}  // namespace pasarela::dbase
