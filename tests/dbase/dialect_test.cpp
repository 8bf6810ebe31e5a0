// Dialects and code pages read from hand-built files: dBase 7 binary types,
// memo files opened only when a memo is read, a production-index flag
// without its .MDX, and the language drivers' code pages.
#include <gtest/gtest.h>

#include <cstring>

#include "base/error.h"
#include "data/table.h"
#include "support/dbf_builder.h"
#include "support/drive_c.h"

namespace pasarela {
namespace {

using test::buildDbf;
using test::RawField;

std::string be32(std::uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * (3 - i))) & 0xFF);
  return s;
}

// dBase 7 keeps doubles big-endian with the sign bit flipped.
std::string dbase7Double(double d) {
  std::uint64_t bits;
  std::memcpy(&bits, &d, 8);
  bits = (bits & 0x8000000000000000ULL) ? ~bits : bits | 0x8000000000000000ULL;
  return be32(static_cast<std::uint32_t>(bits >> 32)) + be32(static_cast<std::uint32_t>(bits));
}

class DialectTest : public test::TempDriveTest {
 protected:
  std::unique_ptr<Table> open(const std::string& name) {
    auto t = std::make_unique<Table>();
    t->setTableName("C:\\KTEMP\\" + name);
    t->open();
    return t;
  }
  std::string path(const std::string& name) { return host("KTEMP/" + name).string(); }
};

TEST_F(DialectTest, DBase7DescriptorsAndBinaryNumbers) {
  const std::vector<RawField> fields = {{"NOMBRE_LARGO_DE_CAMPO", 'C', 8},
                                        {"ENTERO", 'I', 4},
                                        {"DOBLE", 'O', 8},
                                        {"AUTO", '+', 4},
                                        {"DIA", 'D', 8}};
  test::writeFile(path("D7.DBF"), buildDbf(0x04, fields,
                                           {"uno     " + be32(static_cast<std::uint32_t>(-5) ^ 0x80000000u) +
                                                dbase7Double(-2.5) + be32(1u ^ 0x80000000u) + "20240131",
                                            "dos     " + be32(70000u ^ 0x80000000u) + dbase7Double(1e6) +
                                                be32(2u ^ 0x80000000u) + "        "}));
  auto t = open("D7.DBF");
  EXPECT_EQ(t->fieldInfo(0).name, "NOMBRE_LARGO_DE_CAMPO");
  EXPECT_EQ(t->asString("nombre_largo_de_campo"), "uno");
  EXPECT_EQ(t->asInteger("ENTERO"), -5);
  EXPECT_DOUBLE_EQ(t->asFloat("DOBLE"), -2.5);
  EXPECT_EQ(t->asInteger("AUTO"), 1);
  EXPECT_EQ(t->asString("DIA"), "2024-01-31");
  EXPECT_DOUBLE_EQ(t->asDateTime("DIA"), 45322.0);  // days since 1899-12-30
  t->next();
  EXPECT_EQ(t->asInteger("ENTERO"), 70000);
  EXPECT_EQ(t->asString("DOBLE"), "1000000");
  EXPECT_EQ(t->asDateTime("DIA"), 0.0);
}

TEST_F(DialectTest, MemoFileIsNeededOnlyWhenAMemoIsRead) {
  test::writeFile(path("MEMO.DBF"),
                  buildDbf(0x83, {{"COD", 'C', 4}, {"NOTAS", 'M', 10}},
                           {"A1  " + std::string("         1"), "B2  " + std::string(10, ' ')}));
  auto t = open("MEMO.DBF");
  EXPECT_EQ(t->asString("COD"), "A1");
  try {
    t->asString("NOTAS");
    ADD_FAILURE() << "a missing memo file must be reported";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("memos 'C:\\KTEMP\\MEMO.DBT'"), std::string::npos) << e.what();
  }
  t->next();
  EXPECT_EQ(t->asString("NOTAS"), "");  // no block: no file needed
  t->close();
  std::string dbt(512, '\0');
  dbt += "texto del memo\x1A\x1A";
  test::writeFile(path("memo.dbt"), dbt);
  t = open("MEMO.DBF");
  EXPECT_EQ(t->asString("NOTAS"), "texto del memo");
}

TEST_F(DialectTest, ProductionIndexFlagWithoutTheIndexFileOpens) {
  test::writeFile(path("HORGRUP.DBF"), buildDbf(0x03, {{"CODGRUP", 'C', 6}}, {"1ESOA", "2ESOB"}, 0x57, true));
  auto t = open("horgrup");
  EXPECT_EQ(t->recordCount(), 2u);
  EXPECT_THROW(t->setIndexName("CODGRUP"), Error);
  t->edit();
  t->setString("CODGRUP", "3ESOC");
  t->post();
  t->close();
  t = open("HORGRUP.DBF");
  EXPECT_EQ(t->asString("CODGRUP"), "3ESOC");
}

TEST_F(DialectTest, LanguageDriversPickTheCodePage) {
  struct Case {
    std::uint8_t ldid;
    std::string stored;  // "ñÁ" in that code page
  };
  for (const Case& c :
       {Case{0x01, "\xA4\xB5"}, Case{0x1B, "\xA4\xB5"}, Case{0x02, "\xA4\xB5"}, Case{0x14, "\xA4\xB5"},
        Case{0x03, "\xF1\xC1"}, Case{0x57, "\xF1\xC1"}, Case{0x00, "\xF1\xC1"}, Case{0xEE, "\xF1\xC1"}}) {
    // 437 has no "Á" (0xB5 is a box drawing there).
    std::string stored = c.stored;
    std::string expected = c.ldid == 0x01 || c.ldid == 0x1B ? "ñ╡" : "ñÁ";
    test::writeFile(path("CP.DBF"), buildDbf(0x03, {{"T", 'C', 4}}, {stored}, c.ldid));
    auto t = open("CP.DBF");
    EXPECT_EQ(t->asString("T"), expected) << int(c.ldid);
    t->edit();
    t->setString("T", expected + "é€");
    t->post();
    t->close();
    std::ifstream in(path("CP.DBF"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::string record = bytes.substr(32 + 32 + 1 + 1, 4);
    EXPECT_EQ(record.substr(0, 2), stored) << int(c.ldid);
    // "€" exists only in 1252; elsewhere it becomes "?".
    EXPECT_EQ(record[3], c.stored[0] == '\xF1' ? '\x80' : '?') << int(c.ldid);
  }
}

}  // namespace
}  // namespace pasarela
