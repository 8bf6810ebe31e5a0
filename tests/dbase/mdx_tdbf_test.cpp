// Indexes exchanged with Free Pascal's TDbf in both directions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>

#include "dbase/mdx.h"
#include "mdx_test_util.h"
#include "mini_dbf.h"
#include "oracles/tdbf_oracle.h"

using namespace pasarela::dbase;
using namespace pasarela::test;

namespace {

std::vector<std::uint32_t> tdbfOrder(const std::filesystem::path& table, const std::string& tag) {
  std::vector<std::uint32_t> order;
  for (const std::string& line : runTdbfOracle({"iterate", table.string(), tag}))
    order.push_back(static_cast<std::uint32_t>(std::stoul(line)));
  return order;
}

std::string text(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  return buf;
}

// 2,600 records: codes with many duplicates, blank codes, Windows-1252
// accented names long enough for a four-level tree, and marks. The marks
// stay clear of the values TDbf misorders (0 beside positives below 0.1).
struct Sample {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> codes, names, marks;
  std::vector<double> values;
};

Sample makeSample(unsigned seed) {
  const char* stems[] = {"\xC1lvarez",
                         "alvarez",
                         "ALVAREZ",
                         "\xD1"
                         "u\xF1"
                         "ez",
                         "Nu\xF1"
                         "ez",
                         "nunez",
                         "\xC9mile",
                         "emile",
                         "Zapata",
                         "\xFC"
                         "ber",
                         "Uber",
                         "\x80uro"};
  std::mt19937 rng(seed);
  Sample s;
  for (int i = 0; i < 2600; ++i) {
    const std::string code = i % 13 == 0 ? "" : "C" + std::to_string(rng() % 300);
    const std::string name =
        i % 17 == 0 ? "" : std::string(stems[rng() % 12]) + " " + std::to_string(rng() % 40);
    const double value = (static_cast<int>(rng() % 801) - 400) * 0.25;
    s.rows.push_back({code, name, text(value)});
    s.codes.push_back(padded(code, 10));
    s.names.push_back(padded(name, 90));
    s.marks.push_back(encodeNumericKey(value));
    s.values.push_back(value);
  }
  return s;
}

const std::vector<MiniField> kFields = {{"COD", 'C', 10, 0}, {"NOMBRE", 'C', 90, 0}, {"NOTA", 'N', 9, 2}};

class WrittenByUs : public ::testing::TestWithParam<int> {};

TEST_P(WrittenByUs, TdbfIteratesAndFindsInOurOrder) {
  if (!tdbfOracleAvailable()) GTEST_SKIP() << "fpc is not installed";
  const auto ldid = static_cast<std::uint8_t>(GetParam());
  ScratchDir dir;
  const Sample s = makeSample(ldid);
  ASSERT_FALSE(tdbfMisordersNumbers(s.values));
  writeMiniDbf(dir / "ALUMNOS.DBF", kFields, s.rows, ldid);
  const std::vector<MdxTag> tags = {sortedTag({"COD", "COD", KeyType::Character, 10}, s.codes, ldid),
                                    sortedTag({"NOMBRE", "NOMBRE", KeyType::Character, 90}, s.names, ldid),
                                    sortedTag({"NOTA", "NOTA", KeyType::Numeric, 12}, s.marks, ldid)};
  writeMdx(dir / "ALUMNOS.MDX", "ALUMNOS", ldid, tags);

  const auto listed = runTdbfOracle({"tags", (dir / "ALUMNOS.DBF").string()});
  ASSERT_EQ(listed.size(), 4u);
  EXPECT_EQ(listed[0].substr(0, 4), "COD\t");
  EXPECT_EQ(listed[1].substr(0, 7), "NOMBRE\t");
  EXPECT_EQ(listed[2].substr(0, 5), "NOTA\t");
  for (const MdxTag& tag : tags)
    EXPECT_EQ(tdbfOrder(dir / "ALUMNOS.DBF", tag.layout.name), recordOrder(tag)) << tag.layout.name;

  // Searches land on the first record holding the key; absent keys fail.
  std::map<std::string, std::uint32_t> firstOfCode, firstOfName;
  std::map<double, std::uint32_t> firstOfMark;
  for (std::size_t i = s.codes.size(); i-- > 0;) {
    firstOfCode[s.codes[i]] = static_cast<std::uint32_t>(i + 1);
    firstOfName[s.names[i]] = static_cast<std::uint32_t>(i + 1);
    firstOfMark[s.values[i]] = static_cast<std::uint32_t>(i + 1);
  }
  std::vector<std::string> args = {"find", (dir / "ALUMNOS.DBF").string(), "COD"};
  std::vector<std::string> want;
  for (const auto& [key, rec] : firstOfCode) {
    args.push_back(toHex(key));
    want.push_back(std::to_string(rec));
  }
  for (const char* absent : {"C9999", "C1000", "ZZZ"}) {
    args.push_back(toHex(padded(absent, 10)));
    want.push_back("-");
  }
  EXPECT_EQ(runTdbfOracle(args), want);

  args = {"find", (dir / "ALUMNOS.DBF").string(), "NOMBRE"};
  want.clear();
  for (const auto& [key, rec] : firstOfName) {
    args.push_back(toHex(key));
    want.push_back(std::to_string(rec));
  }
  EXPECT_EQ(runTdbfOracle(args), want);

  args = {"find", (dir / "ALUMNOS.DBF").string(), "NOTA"};
  want.clear();
  for (const auto& [value, rec] : firstOfMark) {
    args.push_back(toHex(text(value)));
    want.push_back(std::to_string(rec));
  }
  for (double absent : {0.3, 101.0, -100.5}) {
    args.push_back(toHex(text(absent)));
    want.push_back("-");
  }
  EXPECT_EQ(runTdbfOracle(args), want);
}

INSTANTIATE_TEST_SUITE_P(Drivers, WrittenByUs, ::testing::Values(0x57, 0x58, 0x03, 0x18, 0x14), driverName);

TEST(WrittenByUs, TdbfReadsAnEmptyTagAndASingleLeaf) {
  if (!tdbfOracleAvailable()) GTEST_SKIP() << "fpc is not installed";
  ScratchDir dir;
  writeMiniDbf(dir / "VACIA.DBF", {{"COD", 'C', 4, 0}}, {}, 0x57);
  writeMdx(dir / "VACIA.MDX", "VACIA", 0x57, {sortedTag({"COD", "COD", KeyType::Character, 4}, {}, 0x57)});
  EXPECT_TRUE(tdbfOrder(dir / "VACIA.DBF", "COD").empty());

  writeMiniDbf(dir / "UNA.DBF", {{"COD", 'C', 4, 0}}, {{"B"}, {"A"}, {"B"}}, 0x57);
  writeMdx(dir / "UNA.MDX", "UNA", 0x57,
           {sortedTag({"COD", "COD", KeyType::Character, 4}, {padded("B", 4), padded("A", 4), padded("B", 4)},
                      0x57)});
  EXPECT_EQ(tdbfOrder(dir / "UNA.DBF", "COD"), (std::vector<std::uint32_t>{2, 1, 3}));
}

TEST(WrittenByUs, TdbfReadsDescendingAndUniqueTags) {
  if (!tdbfOracleAvailable()) GTEST_SKIP() << "fpc is not installed";
  ScratchDir dir;
  const std::vector<std::string> cods = {"B", "A", "C", "B", "\xC1"};
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> keys;
  for (const auto& c : cods) {
    rows.push_back({c});
    keys.push_back(padded(c, 4));
  }
  writeMiniDbf(dir / "ORDEN.DBF", {{"COD", 'C', 4, 0}}, rows, 0x58);
  MdxTag desc = sortedTag({"CODDESC", "COD", KeyType::Character, 4, true, false}, keys, 0x58);
  MdxTag unique = sortedTag({"CODUNICO", "COD", KeyType::Character, 4, false, true}, keys, 0x58);
  // A unique tag keeps the first record of each key.
  unique.entries.erase(std::remove_if(unique.entries.begin(), unique.entries.end(),
                                      [](const MdxEntry& e) { return e.recNo == 4; }),
                       unique.entries.end());
  writeMdx(dir / "ORDEN.MDX", "ORDEN", 0x58, {desc, unique});
  const auto listed = runTdbfOracle({"tags", (dir / "ORDEN.DBF").string()});
  ASSERT_GE(listed.size(), 2u);
  EXPECT_EQ(listed[0], "CODDESC\tCOD\tdesc");
  EXPECT_EQ(listed[1], "CODUNICO\tCOD\tunique");
  EXPECT_EQ(recordOrder(desc), (std::vector<std::uint32_t>{3, 1, 4, 5, 2}));
  EXPECT_EQ(tdbfOrder(dir / "ORDEN.DBF", "CODDESC"), recordOrder(desc));
  EXPECT_EQ(tdbfOrder(dir / "ORDEN.DBF", "CODUNICO"), (std::vector<std::uint32_t>{2, 5, 1, 3}));
}

// Keys of up to four bytes make 8-byte items: the fullest nodes there are.
TEST(WrittenByUs, TdbfReadsShortKeysInFullNodes) {
  if (!tdbfOracleAvailable()) GTEST_SKIP() << "fpc is not installed";
  ScratchDir dir;
  std::mt19937 rng(4);
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> keys;
  for (int i = 0; i < 20000; ++i) {
    std::string g(1, static_cast<char>('A' + rng() % 26));
    if (rng() % 3) g += static_cast<char>('a' + rng() % 26);
    rows.push_back({g});
    keys.push_back(padded(g, 2));
  }
  writeMiniDbf(dir / "GRUPOS.DBF", {{"GRUPO", 'C', 2, 0}}, rows, 0x58);
  const MdxTag tag = sortedTag({"GRUPO", "GRUPO", KeyType::Character, 2}, keys, 0x58);
  writeMdx(dir / "GRUPOS.MDX", "GRUPOS", 0x58, {tag});
  EXPECT_EQ(tdbfOrder(dir / "GRUPOS.DBF", "GRUPO"), recordOrder(tag));
  std::map<std::string, std::uint32_t> first;
  for (std::size_t i = keys.size(); i-- > 0;) first[keys[i]] = static_cast<std::uint32_t>(i + 1);
  std::vector<std::string> args = {"find", (dir / "GRUPOS.DBF").string(), "GRUPO"}, want;
  for (const auto& [key, rec] : first) {
    args.push_back(toHex(key));
    want.push_back(std::to_string(rec));
  }
  EXPECT_EQ(runTdbfOracle(args), want);
}

std::string specFor(std::uint8_t ldid, const Sample& s) {
  std::string layout = "ldid " + std::to_string(ldid) + "\n";
  layout += "field COD C 10 0\nfield NOMBRE C 90 0\nfield NOTA N 9 2\n";
  layout += "index COD\nindex NOMBRE\nindex NOTA\n";
  for (const auto& row : s.rows) {
    layout += "row";
    for (const auto& v : row) layout += " " + (v.empty() ? std::string("-") : toHex(v));
    layout += "\n";
  }
  return layout;
}

class WrittenByTdbf : public ::testing::TestWithParam<int> {};

TEST_P(WrittenByTdbf, ReadsItsTagsInItsOrder) {
  if (!tdbfOracleAvailable()) GTEST_SKIP() << "fpc is not installed";
  const auto ldid = static_cast<std::uint8_t>(GetParam());
  ScratchDir dir;
  const Sample s = makeSample(ldid + 100u);
  std::ofstream(dir / "T.LAYOUT") << specFor(ldid, s);
  runTdbfOracle({"create", (dir / "NOTAS.DBF").string(), (dir / "T.LAYOUT").string()});
  ASSERT_TRUE(std::filesystem::exists(dir / "NOTAS.MDX"));

  const auto tags = readMdx(dir / "NOTAS.MDX", ldid);
  ASSERT_EQ(tags.size(), 3u);
  const std::vector<std::string> names = {"COD", "NOMBRE", "NOTA"};
  for (std::size_t t = 0; t < 3; ++t) {
    EXPECT_EQ(tags[t].layout.name, names[t]);
    EXPECT_EQ(tags[t].layout.expression, names[t]);
    EXPECT_EQ(tags[t].entries.size(), s.rows.size());
    EXPECT_EQ(recordOrder(tags[t]), tdbfOrder(dir / "NOTAS.DBF", names[t])) << names[t];
  }
  EXPECT_EQ(tags[0].layout.type, KeyType::Character);
  EXPECT_EQ(tags[0].layout.keyLength, 10);
  EXPECT_EQ(tags[2].layout.type, KeyType::Numeric);
  for (const MdxEntry& e : tags[0].entries) EXPECT_EQ(e.key, s.codes.at(e.recNo - 1));
  for (const MdxEntry& e : tags[1].entries) EXPECT_EQ(e.key, s.names.at(e.recNo - 1));
  for (const MdxEntry& e : tags[2].entries) EXPECT_EQ(decodeNumericKey(e.key), s.values.at(e.recNo - 1));
}

INSTANTIATE_TEST_SUITE_P(Drivers, WrittenByTdbf, ::testing::Values(0x57, 0x58, 0x59, 0x1B, 0x18), driverName);

// TDbf misplaces 0 among numeric keys (it sorts after positives below 0.1).
// Our in-memory index follows the numbers, whatever order the file has.
TEST(WrittenByTdbf, NumericIndexIsPutInNumberOrder) {
  if (!tdbfOracleAvailable()) GTEST_SKIP() << "fpc is not installed";
  ScratchDir dir;
  std::ofstream(dir / "T.LAYOUT") << "ldid 87\nfield NOTA N 9 2\nindex NOTA\n"
                                  << "row " << toHex("0.05") << "\nrow " << toHex("0") << "\nrow "
                                  << toHex("1") << "\nrow " << toHex("-1") << "\nrow -\n";
  runTdbfOracle({"create", (dir / "CERO.DBF").string(), (dir / "T.LAYOUT").string()});
  const auto tags = readMdx(dir / "CERO.MDX", 0x57);
  ASSERT_EQ(tags.size(), 1u);
  EXPECT_EQ(recordOrder(tags[0]), (std::vector<std::uint32_t>{4, 2, 5, 1, 3}));
}

}  // namespace
