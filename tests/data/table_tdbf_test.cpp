// Production indexes against Free Pascal's TDbf: tables and tags we write
// iterate and find the same in TDbf, and tables TDbf writes iterate and find
// the same through our table object, also after we append to them.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>

#include "data/table.h"
#include "oracles/tdbf_oracle.h"
#include "support/drive_c.h"

namespace pasarela {
namespace {

using test::runTdbfOracle;

class TableTdbfTest : public test::TempDriveTest {
 protected:
  void SetUp() override {
    if (!test::tdbfOracleAvailable()) GTEST_SKIP() << "fpc missing: no TDbf checker";
    TempDriveTest::SetUp();
  }
  // Record numbers of a whole pass through our table in index order.
  std::vector<std::string> ourOrder(const std::string& file, const std::string& tag) {
    Table t;
    t.setTableName(file);
    t.setIndexName(tag);
    t.open();
    std::vector<std::string> out;
    for (t.first(); !t.eof(); t.next()) out.push_back(std::to_string(t.recNo()));
    return out;
  }
  // Keys with duplicates, empty keys and accented letters (Windows-1252).
  static std::vector<std::string> keys(int n) {
    const std::vector<std::string> stems = {"",    "ÁRBOL", "Ñandú", "zeta", "ÉTICA",
                                            "mat", "MAT",   "a b",   "A",    "ÿ"};
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) {
      const std::string& stem = stems[static_cast<std::size_t>(i) % stems.size()];
      out.push_back(i % 4 == 0 || stem.empty() ? stem : stem + std::to_string(i % 113));
    }
    std::shuffle(out.begin(), out.end(), std::mt19937(11));
    return out;
  }
  static std::string cp1252Hex(const std::string& utf8) {
    std::string bytes;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(utf8[i]);
      if (c == 0xC3 && i + 1 < utf8.size()) {
        bytes += static_cast<char>(0xC0 + (static_cast<unsigned char>(utf8[++i]) - 0x80));
      } else {
        bytes += static_cast<char>(c);
      }
    }
    return test::toHex(bytes);
  }
};

TEST_F(TableTdbfTest, IndexesWeWriteIterateAndFindTheSameInTdbf) {
  const std::vector<std::string> values = keys(2600);
  {
    Table t;
    t.setTableName("C:\\KTEMP\\ASIGVALT.DBF");
    t.createTable(
        {{"COD", FieldKind::String, 12}, {"NUM", FieldKind::Integer, 0}, {"NOTA", FieldKind::Float, 0}},
        {"COD", "NUM", "NOTA"});
    t.open();
    for (std::size_t i = 0; i < values.size(); ++i) {
      t.append();
      t.setString("COD", values[i]);
      t.setInteger("NUM", static_cast<std::int64_t>(i * 7919 % 1000) - 500);
      if (i % 5) t.setFloat("NOTA", static_cast<double>(i % 300) / 4.0 + 0.25);
      t.post();
    }
    // Changes after the first appends move entries inside the tags.
    t.setIndexName("COD");
    ASSERT_TRUE(t.findKey(values[5]));
    t.edit();
    t.setString("COD", "AAA cambiado");
    t.setInteger("NUM", 9999);
    t.post();
  }
  const std::string dbf = host("KTEMP/ASIGVALT.DBF").string();
  for (const std::string tag : {"COD", "NUM", "NOTA"}) {
    std::vector<std::string> tdbf = runTdbfOracle({"iterate", dbf, tag});
    EXPECT_EQ(tdbf.size(), values.size()) << tag;
    EXPECT_EQ(ourOrder("C:\\KTEMP\\ASIGVALT.DBF", tag), tdbf) << tag;
  }
  std::vector<std::string> args = {"find", dbf, "COD"};
  std::vector<std::string> probes = {values[0],      values[1],   values[17], "",
                                     "AAA cambiado", "no existe", "ÁRBOL"};
  for (const std::string& p : probes) args.push_back(p.empty() ? std::string("20") : cp1252Hex(p));
  std::vector<std::string> found = runTdbfOracle(args);
  ASSERT_EQ(found.size(), probes.size());
  Table t;
  t.setTableName("C:\\KTEMP\\ASIGVALT.DBF");
  t.setIndexName("COD");
  t.open();
  for (std::size_t i = 0; i < probes.size(); ++i) {
    bool ours = t.findKey(probes[i]);
    EXPECT_EQ(ours ? std::to_string(t.recNo()) : "-", found[i]) << probes[i];
  }
}

TEST_F(TableTdbfTest, IndexesTdbfWritesIterateAndFindTheSameInOurs) {
  for (int ldid : {0x57, 0x58}) {
    const std::string dbf = host("KTEMP/HORAS.DBF").string();
    {
      std::ofstream layout(host("layout.txt"));
      layout << "ldid " << ldid << "\nfield COD C 8 0\nfield HORAS N 6 2\nindex COD\nindex HORAS\n";
      const std::vector<std::string> v = keys(2100);
      for (std::size_t i = 0; i < v.size(); ++i) {
        std::string code = v[i].substr(0, v[i].size() > 8 ? 8 : v[i].size());
        layout << "row " << (code.empty() ? "-" : cp1252Hex(code)) << " "
               << test::toHex(std::to_string(static_cast<int>(i % 37) + 1) + ".5") << "\n";
      }
    }
    ASSERT_NO_THROW(runTdbfOracle({"create", dbf, host("layout.txt").string()}));
    for (const std::string tag : {"COD", "HORAS"}) {
      EXPECT_EQ(ourOrder("C:\\KTEMP\\HORAS.DBF", tag), runTdbfOracle({"iterate", dbf, tag}))
          << tag << " " << ldid;
    }
    // We append and change; TDbf still reads our index the same.
    {
      Table t;
      t.setTableName("C:\\KTEMP\\HORAS.DBF");
      t.setIndexName("HORAS");
      t.open();
      ASSERT_TRUE(t.findKey(3.5));
      EXPECT_EQ(t.asString("HORAS"), "3.5");
      t.edit();
      t.setFloat("HORAS", 100);
      t.post();
      for (const char* code : {"éa", "Éa", "ea", "EA", "zz", ""}) {
        t.append();
        t.setString("COD", code);
        t.setFloat("HORAS", 2.5);
        t.post();
      }
    }
    for (const std::string tag : {"COD", "HORAS"}) {
      EXPECT_EQ(ourOrder("C:\\KTEMP\\HORAS.DBF", tag), runTdbfOracle({"iterate", dbf, tag}))
          << tag << " " << ldid;
    }
  }
}

TEST_F(TableTdbfTest, DescendingAndUniqueTagsOfTdbfKeepTheirMeaning) {
  const std::string dbf = host("KTEMP/TAGS.DBF").string();
  {
    std::ofstream layout(host("layout.txt"));
    layout << "field COD C 6 0\nfield ALT C 6 0\nindex COD desc\nindex ALT unique\n";
    const char* codes[] = {"b", "a", "c", "a", "b", "d"};
    for (const char* c : codes) layout << "row " << test::toHex(c) << " " << test::toHex(c) << "\n";
  }
  ASSERT_NO_THROW(runTdbfOracle({"create", dbf, host("layout.txt").string()}));
  for (const std::string tag : {"COD", "ALT"}) {
    EXPECT_EQ(ourOrder("C:\\KTEMP\\TAGS.DBF", tag), runTdbfOracle({"iterate", dbf, tag})) << tag;
  }
  {
    Table t;
    t.setTableName("C:\\KTEMP\\TAGS.DBF");
    t.open();
    // "e" twice: the second goes after the last key of the unique tag,
    // which is its own.
    for (const char* c : {"c", "e", "e", "a"}) {
      t.append();
      t.setString("COD", c);
      t.setString("ALT", c);
      t.post();
    }
    // The same while the table is still open.
    t.setIndexName("ALT");
    std::vector<std::string> walked;
    for (t.first(); !t.eof(); t.next()) walked.push_back(std::to_string(t.recNo()));
    EXPECT_EQ(walked, (std::vector<std::string>{"2", "1", "3", "6", "8"}));
  }
  // Descending: largest key first; unique: one record per key, the first.
  EXPECT_EQ(ourOrder("C:\\KTEMP\\TAGS.DBF", "COD"),
            (std::vector<std::string>{"8", "9", "6", "3", "7", "1", "5", "2", "4", "10"}));
  EXPECT_EQ(ourOrder("C:\\KTEMP\\TAGS.DBF", "ALT"), (std::vector<std::string>{"2", "1", "3", "6", "8"}));
  for (const std::string tag : {"COD", "ALT"}) {
    EXPECT_EQ(ourOrder("C:\\KTEMP\\TAGS.DBF", tag), runTdbfOracle({"iterate", dbf, tag})) << tag;
  }
}

}  // namespace
}  // namespace pasarela
