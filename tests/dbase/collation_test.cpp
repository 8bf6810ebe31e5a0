// Order of character keys under each language driver, checked against the
// order TDbf gives the same keys in an index it builds itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "dbase/mdx.h"
#include "mdx_test_util.h"
#include "mini_dbf.h"
#include "oracles/tdbf_oracle.h"

using pasarela::dbase::compareKeys;
using pasarela::dbase::KeyType;
using namespace pasarela::test;

namespace {

std::vector<std::string> sortedBy(std::uint8_t ldid, std::vector<std::string> keys) {
  std::stable_sort(keys.begin(), keys.end(), [&](const std::string& a, const std::string& b) {
    return compareKeys(ldid, KeyType::Character, a, b) < 0;
  });
  return keys;
}

std::vector<std::string> cp1252(std::initializer_list<const char*> words, std::size_t length) {
  std::vector<std::string> keys;
  for (const char* w : words) keys.push_back(padded(w, length));
  return keys;
}

// "ÁRT" and friends, in Windows-1252 bytes.
const char* kArt = "\xC1RT";
const char* kEti = "\xC9TI";
const char* kNan =
    "\xD1"
    "AN";
const char* kMus = "M\xDAS";
const char* kQui = "QU\xCD";

TEST(Collation, AnsiDriverSortsBytes) {
  const auto keys = cp1252({"mat", kNan, "ZOO", kEti, "AAA", kArt}, 3);
  EXPECT_EQ(sortedBy(0x57, keys), cp1252({"AAA", "ZOO", "mat", kArt, kEti, kNan}, 3));
}

TEST(Collation, WesternEuropeanDriverFoldsAccentsAndCase) {
  const auto keys = cp1252({kQui, "MAT", kNan, "FIL", kMus, "BIO", kEti, "mat", "EDF", kArt, "AAA"}, 3);
  const auto want = cp1252({"AAA", kArt, "BIO", "EDF", kEti, "FIL", "mat", "MAT", kMus, kNan, kQui}, 3);
  EXPECT_EQ(sortedBy(0x58, keys), want);
  EXPECT_EQ(sortedBy(0x59, keys), want);
}

TEST(Collation, SpacePaddingSortsShorterKeysFirst) {
  for (std::uint8_t ldid : {0x57, 0x58, 0x59, 0x14, 0x18, 0x1B, 0x01, 0x02, 0x03}) {
    EXPECT_LT(compareKeys(ldid, KeyType::Character, padded("AB", 4), padded("ABA", 4)), 0) << int(ldid);
    EXPECT_LT(compareKeys(ldid, KeyType::Character, padded("", 4), padded("0", 4)), 0) << int(ldid);
    EXPECT_EQ(compareKeys(ldid, KeyType::Character, padded("AB", 4), padded("AB", 4)), 0) << int(ldid);
  }
}

// Keys mixing letters with and without accents, both cases, digits, blanks
// and punctuation, plus a share of arbitrary bytes.
std::vector<std::string> randomKeys(unsigned seed, std::size_t count, std::size_t length) {
  std::mt19937 rng(seed);
  const std::string common = " AaBbEeNnOoZz\xC1\xE1\xC9\xE9\xD1\xF1\xDC\xFC\x80\xA0\x85\xA4\xA5\x90-'.019";
  std::vector<std::string> keys;
  for (std::size_t i = 0; i < count; ++i) {
    std::string k;
    const std::size_t n = 1 + rng() % length;
    for (std::size_t j = 0; j < n; ++j)
      k += rng() % 4 ? common[rng() % common.size()] : static_cast<char>(0x20 + rng() % 0xE0);
    keys.push_back(padded(k, length));
  }
  return keys;
}

// The keys in the order TDbf's index of a table holding them walks them.
std::vector<std::string> tdbfOrder(std::uint8_t ldid, const std::vector<std::string>& keys,
                                   std::size_t length) {
  ScratchDir dir;
  const std::string layout = (dir / "KEYS.LAYOUT").string();
  {
    std::ofstream out(layout);
    out << "ldid " << int(ldid) << "\nfield K C " << length << " 0\nindex K\n";
    for (const auto& k : keys) out << "row " << toHex(k) << "\n";
  }
  const std::string table = (dir / "KEYS.DBF").string();
  runTdbfOracle({"create", table, layout});
  std::vector<std::string> order;
  for (const std::string& line : runTdbfOracle({"iterate", table, "K"}))
    order.push_back(keys.at(std::stoul(line) - 1));
  return order;
}

class CollationAgreesWithTdbf : public ::testing::TestWithParam<int> {};

TEST_P(CollationAgreesWithTdbf, OnRandomKeys) {
  if (!tdbfOracleAvailable()) GTEST_SKIP() << "fpc is not installed";
  const auto ldid = static_cast<std::uint8_t>(GetParam());
  const auto keys = randomKeys(static_cast<unsigned>(ldid), 700, 6);
  EXPECT_EQ(sortedBy(ldid, keys), tdbfOrder(ldid, keys, 6));
}

// Keys of 14 bytes that mostly share a long start, as the codes of one
// course do, and differ further on: in a letter, in its case or accent, or
// in a byte of any value.
std::vector<std::string> keysSharingTheirStart(unsigned seed, std::size_t count) {
  std::mt19937 rng(seed);
  const std::vector<std::string> starts = {"1BACAL0",      "1BACAL0aA",       "2ESO-MAT", "2eso-mat",
                                           "CIENCIAS NAT", "CIENCIAS N\xC1T", ""};
  const std::string tail =
      " AaEe\xC1\xE1\xD1\xF1"
      "0129-";
  std::vector<std::string> keys;
  for (std::size_t i = 0; i < count; ++i) {
    std::string k = starts[rng() % starts.size()];
    while (k.size() < 14 && rng() % 6 != 0)
      k += rng() % 5 ? tail[rng() % tail.size()] : static_cast<char>(0x20 + rng() % 0xE0);
    keys.push_back(padded(k.substr(0, 14), 14));
  }
  return keys;
}

TEST_P(CollationAgreesWithTdbf, OnLongKeysSharingTheirStart) {
  if (!tdbfOracleAvailable()) GTEST_SKIP() << "fpc is not installed";
  const auto ldid = static_cast<std::uint8_t>(GetParam());
  const auto keys = keysSharingTheirStart(static_cast<unsigned>(ldid) + 100, 500);
  EXPECT_EQ(sortedBy(ldid, keys), tdbfOrder(ldid, keys, 14));
}

// Windows-1252 (ANSI, Western European, Spanish), 437 (US, Spanish) and 850
// (Spanish), and the FoxPro-style drivers that TDbf sorts as bytes.
INSTANTIATE_TEST_SUITE_P(Drivers, CollationAgreesWithTdbf,
                         ::testing::Values(0x57, 0x58, 0x59, 0x1B, 0x18, 0x14, 0x01, 0x02, 0x03), driverName);

}  // namespace
