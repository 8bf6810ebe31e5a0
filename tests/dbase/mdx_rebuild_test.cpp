// A production index built again for records that changed behind it, with
// the old index's tags (descending and unique ones included), checked by
// walking it with TDbf against the order worked out here from the records.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

#include "dbase/mdx.h"
#include "dbase/mdx_rebuild.h"
#include "mdx_test_util.h"
#include "oracles/tdbf_oracle.h"

using namespace pasarela::dbase;
using namespace pasarela::test;

namespace {

std::string slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void spit(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

class MdxRebuild : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!tdbfOracleAvailable()) GTEST_SKIP() << "fpc missing";
    {
      std::ofstream layout(dir_ / "T.LAYOUT");
      layout << "field COD C 4 0\nfield NUM N 5 0\nindex COD desc\nindex NUM unique\n";
      for (const char* cod : {"AAAA", "BBBB", "CCCC", "DDDD", "EEEE", "FFFF"})
        layout << "row " << toHex(cod) << " " << toHex("1") << "\n";
    }
    runTdbfOracle({"create", (dir_ / "T.DBF").string(), (dir_ / "T.LAYOUT").string()});
    std::filesystem::copy_file(dir_ / "T.MDX", dir_ / "OLD.MDX");
  }
  // The records replaced: new codes and numbers, as an import leaves them.
  void replaceRecords(const std::vector<std::pair<std::string, std::string>>& rows) {
    std::string dbf = slurp(dir_ / "T.DBF");
    const std::size_t header = static_cast<unsigned char>(dbf[8]) | static_cast<unsigned char>(dbf[9]) << 8;
    const std::size_t length = static_cast<unsigned char>(dbf[10]) | static_cast<unsigned char>(dbf[11]) << 8;
    ASSERT_EQ(rows.size(), 6u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      std::string num = rows[i].second;
      num.insert(0, 5 - num.size(), ' ');
      dbf.replace(header + i * length + 1, 9, rows[i].first + num);
    }
    spit(dir_ / "T.DBF", dbf);
  }
  ScratchDir dir_;
};

TEST_F(MdxRebuild, TheOldTagsGetTheNewRecordsKeysInTheirOrder) {
  const std::vector<std::pair<std::string, std::string>> rows = {{"MMMM", "7"}, {"ZZZZ", "3"}, {"MMMM", "3"},
                                                                 {"AAAA", "9"}, {"QQQQ", "7"}, {"BBBB", "1"}};
  replaceRecords(rows);
  const RebuiltIndex rebuilt = rebuildIndexFor(dir_ / "T.DBF", "T.DBF", dir_ / "OLD.MDX");
  ASSERT_EQ(rebuilt.outcome, RebuiltIndex::Outcome::Rebuilt) << rebuilt.why;
  spit(dir_ / "T.MDX", mdxImage("T.MDX", rebuilt.tableName, rebuilt.ldid, rebuilt.tags));

  // COD descending, equal codes by record number.
  std::vector<std::uint32_t> byCode = {1, 2, 3, 4, 5, 6};
  std::stable_sort(byCode.begin(), byCode.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return rows[a - 1].first > rows[b - 1].first; });
  std::vector<std::string> expected;
  for (std::uint32_t r : byCode) expected.push_back(std::to_string(r));
  EXPECT_EQ(runTdbfOracle({"iterate", (dir_ / "T.DBF").string(), "COD"}), expected);
  // NUM unique: the first record of each number, by number.
  std::set<int> numbers;
  for (auto& r : rows) numbers.insert(std::stoi(r.second));
  const auto walked = runTdbfOracle({"iterate", (dir_ / "T.DBF").string(), "NUM"});
  ASSERT_EQ(walked.size(), numbers.size());
  EXPECT_EQ(walked, (std::vector<std::string>{"6", "2", "1", "4"}));
  // Nothing of the work is left beside the table.
  std::size_t files = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir_.path())) ++files;
  EXPECT_EQ(files, 4u) << "T.DBF, T.MDX, OLD.MDX, T.LAYOUT";
}

TEST_F(MdxRebuild, AnIndexTheTableDoesNotAnnounceIsNotItsOwn) {
  std::string dbf = slurp(dir_ / "T.DBF");
  dbf[28] = 0;
  spit(dir_ / "T.DBF", dbf);
  EXPECT_EQ(rebuildIndexFor(dir_ / "T.DBF", "T.DBF", dir_ / "OLD.MDX").outcome,
            RebuiltIndex::Outcome::NotIndexed);
}

TEST_F(MdxRebuild, ATagOnAnExpressionOrADamagedIndexIsKept) {
  std::vector<MdxTag> tags = readMdx(dir_ / "OLD.MDX", 0x57);
  tags[1].layout.expression = "STR(NUM)";
  writeMdx(dir_ / "OLD.MDX", "T", 0x57, tags);
  RebuiltIndex r = rebuildIndexFor(dir_ / "T.DBF", "T.DBF", dir_ / "OLD.MDX");
  EXPECT_EQ(r.outcome, RebuiltIndex::Outcome::Kept);
  EXPECT_NE(r.why.find("STR(NUM)"), std::string::npos) << r.why;
  spit(dir_ / "OLD.MDX", "damaged");
  EXPECT_EQ(rebuildIndexFor(dir_ / "T.DBF", "T.DBF", dir_ / "OLD.MDX").outcome, RebuiltIndex::Outcome::Kept);
}

}  // namespace
