// Tables with production indexes: order, FindKey, changing the active
// index while open, and the index surviving close and reopen.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "base/error.h"
#include "data/table.h"
#include "dbase/mdx.h"
#include "support/drive_c.h"

namespace pasarela {
namespace {

class TableIndexTest : public test::TempDriveTest {
 protected:
  // Keys with duplicates, empty keys and accented letters, in random order.
  std::vector<std::string> keys(int n) {
    const std::vector<std::string> stems = {"", "ÁRBOL", "Ñandú", "zeta", "ÉTICA", "mat", "MAT", "a b", "A"};
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) {
      const std::string& stem = stems[static_cast<std::size_t>(i) % stems.size()];
      out.push_back(i % 3 == 0 || stem.empty() ? stem : stem + std::to_string(i % 97));
    }
    std::mt19937 rng(7);
    std::shuffle(out.begin(), out.end(), rng);
    return out;
  }
  void create(const std::vector<std::string>& values) {
    Table t;
    t.setDatabaseName("C:\\KTEMP");
    t.setTableName("ASIGT.DBF");
    t.createTable({{"COD", FieldKind::String, 12}, {"NUM", FieldKind::Integer, 0}}, {"COD", "NUM"});
    t.open();
    int i = 0;
    for (const std::string& v : values) {
      t.append();
      t.setString("COD", v);
      t.setInteger("NUM", (i * 37) % 101 - 50);
      t.post();
      ++i;
    }
  }
  Table table_;
  void openTable(const std::string& index) {
    table_.setDatabaseName("C:\\KTEMP");
    table_.setTableName("ASIGT.DBF");
    table_.setIndexName(index);
    table_.open();
  }
  // M, B and X indexed, then A appended and the index put back as it was
  // before: the index a program that stopped before writing it would leave.
  void leaveIndexMissingARecord() {
    create({"M", "B", "X"});
    const auto mdx = host("KTEMP/ASIGT.MDX");
    std::filesystem::copy_file(mdx, host("old.mdx"));
    openTable("");
    table_.append();
    table_.setString("COD", "A");
    table_.post();
    table_.close();
    // Removed first: GCC 12's copy_file refuses overwrite_existing on Windows.
    std::filesystem::remove(mdx);
    std::filesystem::copy_file(host("old.mdx"), mdx);
  }
};

TEST_F(TableIndexTest, IteratesByKeyThenRecordNumberAndFindsTheFirstMatch) {
  const std::vector<std::string> values = keys(2500);
  create(values);
  openTable("COD");
  std::vector<std::pair<std::string, std::uint32_t>> seen;
  for (table_.first(); !table_.eof(); table_.next())
    seen.emplace_back(table_.asString("COD"), table_.recNo());
  ASSERT_EQ(seen.size(), values.size());
  for (std::size_t i = 1; i < seen.size(); ++i) {
    const auto& [pk, pr] = seen[i - 1];
    const auto& [k, r] = seen[i];
    if (pk == k) {
      EXPECT_LT(pr, r) << k;
    }
  }
  // Every distinct key: FindKey lands on its smallest record number.
  for (const std::string& v :
       {values[0], values[1], values[2], values[3], std::string(""), std::string("zeta")}) {
    auto firstRec = std::find(values.begin(), values.end(), v);
    ASSERT_NE(firstRec, values.end()) << v;
    ASSERT_TRUE(table_.findKey(v)) << v;
    EXPECT_EQ(table_.recNo(), static_cast<std::uint32_t>(firstRec - values.begin()) + 1) << v;
    EXPECT_EQ(table_.asString("COD"), v);
  }
  EXPECT_FALSE(table_.findKey("NOHAY"));
  // Backwards gives the same order reversed.
  std::vector<std::pair<std::string, std::uint32_t>> back;
  for (table_.last(); !table_.bof(); table_.prior())
    back.emplace_back(table_.asString("COD"), table_.recNo());
  std::reverse(back.begin(), back.end());
  EXPECT_EQ(back, seen);
}

TEST_F(TableIndexTest, NumericTagOrdersByValue) {
  create(keys(300));
  openTable("NUM");
  std::int64_t previous = INT64_MIN;
  int n = 0;
  for (table_.first(); !table_.eof(); table_.next(), ++n) {
    std::int64_t v = table_.asInteger("NUM");
    EXPECT_LE(previous, v);
    previous = v;
  }
  EXPECT_EQ(n, 300);
  ASSERT_TRUE(table_.findKey(-50.0));
  EXPECT_EQ(table_.asInteger("NUM"), -50);
  EXPECT_TRUE(table_.findKey("13"));
  EXPECT_EQ(table_.asInteger("NUM"), 13);
}

TEST_F(TableIndexTest, ChangingTheIndexWhileOpenKeepsTheCurrentRecord) {
  create({"C", "A", "B"});
  openTable("");
  table_.next();  // record 2, "A"
  table_.setIndexName("COD");
  EXPECT_EQ(table_.recNo(), 2u);
  table_.next();
  EXPECT_EQ(table_.asString("COD"), "B");
  table_.setIndexName("");
  EXPECT_EQ(table_.recNo(), 3u);
  table_.next();
  EXPECT_TRUE(table_.eof());
  EXPECT_THROW(table_.setIndexName("NOHAY"), Error);
  EXPECT_EQ(table_.indexName(), "");
}

TEST_F(TableIndexTest, EditsAndAppendsKeepTheIndexAcrossReopening) {
  create({"M", "B", "X"});
  openTable("COD");
  ASSERT_TRUE(table_.findKey("X"));
  table_.edit();
  table_.setString("COD", "A");
  table_.post();
  table_.append();
  table_.setString("COD", "C");
  table_.post();
  table_.close();
  Table other;
  other.setDatabaseName("C:\\KTEMP");
  other.setTableName("ASIGT");
  other.setIndexName("cod");
  other.open();
  std::vector<std::string> seen;
  for (other.first(); !other.eof(); other.next()) seen.push_back(other.asString("COD"));
  EXPECT_EQ(seen, (std::vector<std::string>{"A", "B", "C", "M"}));
  other.close();
  other.emptyTable();
  other.open();
  EXPECT_TRUE(other.eof());
  EXPECT_FALSE(other.findKey("A"));
}

TEST_F(TableIndexTest, AnIndexThatMissesRecordsIsBuiltAgainEachTagWhenWalked) {
  leaveIndexMissingARecord();
  openTable("COD");
  std::vector<std::string> seen;
  for (table_.first(); !table_.eof(); table_.next()) seen.push_back(table_.asString("COD"));
  EXPECT_EQ(seen, (std::vector<std::string>{"A", "B", "M", "X"}));
  EXPECT_TRUE(table_.findKey("A"));
  EXPECT_EQ(table_.recNo(), 4u);
  // NUM was not walked yet: it is checked, and built again, when it is.
  table_.setIndexName("NUM");
  int n = 0;
  for (table_.first(); !table_.eof(); table_.next()) ++n;
  EXPECT_EQ(n, 4);
}

TEST_F(TableIndexTest, ATagNotWalkedBeforeAWriteKeepsItsEntries) {
  create(keys(300));
  openTable("COD");
  table_.first();  // COD walked, NUM not
  table_.append();
  table_.setString("COD", "nuevo");
  table_.setInteger("NUM", 77);  // the others hold -50 to 50
  table_.post();
  ASSERT_TRUE(table_.findKey("nuevo"));
  table_.edit();
  table_.setInteger("NUM", -77);
  table_.post();
  table_.close();
  // The index written holds every record in both tags.
  const std::vector<dbase::MdxTag> tags = dbase::readMdx(host("KTEMP/ASIGT.MDX"), 0x57);
  ASSERT_EQ(tags.size(), 2u);
  for (const dbase::MdxTag& tag : tags) EXPECT_EQ(tag.entries.size(), 301u) << tag.layout.name;
  openTable("NUM");
  table_.first();
  EXPECT_EQ(table_.asString("COD"), "nuevo");
  EXPECT_EQ(table_.asInteger("NUM"), -77);
  std::int64_t previous = INT64_MIN;
  int n = 0;
  for (; !table_.eof(); table_.next(), ++n) {
    EXPECT_LE(previous, table_.asInteger("NUM"));
    previous = table_.asInteger("NUM");
  }
  EXPECT_EQ(n, 301);
}

// A record changed by a program that left the index as it was: the walk
// ends after as many steps as there are records, in the order of the
// records' own keys, and FindKey finds what the records hold.
TEST_F(TableIndexTest, AWalkOverAnIndexWhoseKeysDifferFromTheirRecordsEnds) {
  create({"M", "B", "X", "D"});
  // Record 2 ("B") becomes "Z" behind the index's back.
  std::string dbf = bytes("KTEMP/ASIGT.DBF");
  const std::size_t headerLength = static_cast<unsigned char>(dbf[8]) |
                                   (static_cast<std::size_t>(static_cast<unsigned char>(dbf[9])) << 8);
  const std::size_t recordLength = static_cast<unsigned char>(dbf[10]) |
                                   (static_cast<std::size_t>(static_cast<unsigned char>(dbf[11])) << 8);
  ASSERT_EQ(dbf[headerLength + recordLength + 1], 'B');
  dbf[headerLength + recordLength + 1] = 'Z';
  std::ofstream(host("KTEMP/ASIGT.DBF"), std::ios::binary | std::ios::trunc) << dbf;
  const std::string mdxBefore = bytes("KTEMP/ASIGT.MDX");

  openTable("COD");
  std::vector<std::string> seen;
  for (table_.first(); !table_.eof() && seen.size() < 100; table_.next())
    seen.push_back(table_.asString("COD"));
  EXPECT_EQ(seen, (std::vector<std::string>{"D", "M", "X", "Z"}));
  seen.clear();
  for (table_.last(); !table_.bof() && seen.size() < 100; table_.prior())
    seen.push_back(table_.asString("COD"));
  EXPECT_EQ(seen.size(), 4u);
  EXPECT_TRUE(table_.findKey("Z"));
  EXPECT_EQ(table_.recNo(), 2u);
  EXPECT_FALSE(table_.findKey("B"));
  table_.close();
  EXPECT_EQ(bytes("KTEMP/ASIGT.MDX"), mdxBefore) << "reading rebuilt the index in memory only";
}

// Opening, walking and closing tables whose index does not match them
// (stale counts, stale keys), one of them read-only, changes no byte and no
// mode of any file.
TEST_F(TableIndexTest, ReadingNeverWritesAFile) {
  leaveIndexMissingARecord();
  const auto mdx = host("KTEMP/ASIGT.MDX");
  const std::string dbfBefore = bytes("KTEMP/ASIGT.DBF"), mdxBefore = bytes("KTEMP/ASIGT.MDX");
  std::filesystem::perms modeSet = std::filesystem::perms::unknown;
  for (bool readOnly : {false, true}) {
    SCOPED_TRACE(readOnly);
    if (readOnly) {
      for (const char* f : {"KTEMP/ASIGT.DBF", "KTEMP/ASIGT.MDX"})
        std::filesystem::permissions(host(f),
                                     std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
      // As the system keeps it (on Windows only the read-only attribute).
      modeSet = std::filesystem::status(mdx).permissions();
    }
    for (const char* index : {"", "COD", "NUM"}) {
      Table t;
      t.setDatabaseName("C:\\KTEMP");
      t.setTableName("ASIGT.DBF");
      t.setIndexName(index);
      t.setExclusive(readOnly);  // an exclusive reader of a read-only table too
      t.open();
      for (t.first(); !t.eof(); t.next()) (void)t.asString("COD");
      t.close();
    }
    EXPECT_EQ(bytes("KTEMP/ASIGT.DBF"), dbfBefore);
    EXPECT_EQ(bytes("KTEMP/ASIGT.MDX"), mdxBefore);
  }
  EXPECT_EQ(std::filesystem::status(mdx).permissions(), modeSet);
  EXPECT_EQ(modeSet & std::filesystem::perms::owner_write, std::filesystem::perms::none);
}

TEST_F(TableIndexTest, AnotherObjectsPostsShowInIndexOrderOnTheNextMove) {
  create({"B", "D"});
  openTable("COD");
  Table writer;
  writer.setTableName("C:\\KTEMP\\ASIGT.DBF");
  writer.open();
  table_.first();
  EXPECT_EQ(table_.asString("COD"), "B");
  writer.append();
  writer.setString("COD", "C");
  writer.post();
  writer.first();
  writer.edit();
  writer.setString("COD", "A");  // "B" becomes "A": now before the reader's place
  writer.post();
  table_.next();
  EXPECT_EQ(table_.asString("COD"), "C");
  table_.next();
  EXPECT_EQ(table_.asString("COD"), "D");
  table_.first();
  EXPECT_EQ(table_.asString("COD"), "A");
}

// A record given another key during a walk is posted by the next step, and
// the walk goes on from the record's new place in the index, as it would
// after any post.
TEST_F(TableIndexTest, AWalkGoesOnFromTheNewPlaceOfARecordItMoved) {
  create({"E", "C", "A", "D", "B"});
  openTable("COD");
  // The keys a whole walk meets, forward or back, giving the record of key
  // `from` the key `to` when the walk reaches it.
  auto walk = [this](bool forward, const std::string& from, const std::string& to) {
    std::vector<std::string> seen;
    for (forward ? table_.first() : table_.last(); !(forward ? table_.eof() : table_.bof());
         forward ? table_.next() : table_.prior()) {
      seen.push_back(table_.asString("COD"));
      if (seen.back() == from) {
        table_.edit();
        table_.setString("COD", to);
      }
    }
    return seen;
  };
  // C becomes AA, back before B, which comes again.
  EXPECT_EQ(walk(true, "C", "AA"), (std::vector<std::string>{"A", "B", "C", "B", "D", "E"}));
  // D becomes F, on past E, which comes again.
  EXPECT_EQ(walk(false, "D", "F"), (std::vector<std::string>{"E", "D", "E", "B", "AA", "A"}));
  EXPECT_EQ(walk(true, "-", "-"), (std::vector<std::string>{"A", "AA", "B", "E", "F"}));
}

}  // namespace
}  // namespace pasarela
