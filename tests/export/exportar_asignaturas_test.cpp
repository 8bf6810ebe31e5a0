#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "base/error.h"
#include "data/table.h"
#include "export/export_run.h"
#include "export/subject_hours.h"
#include "export_support.h"
#include "oracles/tdbf_oracle.h"

namespace pasarela::test {
namespace {

using exporting::subjectHours;

TEST(SubjectHours, FirstTwoCharactersWithDecimalComma) {
  EXPECT_EQ(subjectHours("4"), 4);
  EXPECT_EQ(subjectHours("12,5"), 12);
  EXPECT_EQ(subjectHours(" 3"), 3);
  EXPECT_EQ(subjectHours("3 "), 3);
  EXPECT_EQ(subjectHours(",5"), 0.5);
  EXPECT_EQ(subjectHours("2,"), 2);
  EXPECT_EQ(subjectHours("+2"), 2);
}

TEST(SubjectHours, BlankZeroAndNegativeGiveOne) {
  EXPECT_EQ(subjectHours(""), 1);
  EXPECT_EQ(subjectHours("  "), 1);
  EXPECT_EQ(subjectHours("\t "), 1);
  EXPECT_EQ(subjectHours("0"), 1);
  EXPECT_EQ(subjectHours("-3"), 1);
  EXPECT_EQ(subjectHours("00"), 1);
}

TEST(SubjectHours, TextThatIsNoNumberFails) {
  // The message quotes the two characters read, written out here by hand.
  const std::pair<const char*, const char*> cases[] = {{"ab", "ab"}, {"1.5", "1."}, {"-", "-"},
                                                       {"+", "+"},   {",", ","},    {"x1", "x1"},
                                                       {"1x", "1x"}, {"1E", "1E"}};
  for (const auto& [text, quoted] : cases) {
    try {
      subjectHours(text);
      ADD_FAILURE() << text << " was accepted";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), std::string("'") + quoted + "' no es un valor punto flotante válido");
    }
  }
}

class ExportarAsignaturasTest : public ExportTest {};

TEST_F(ExportarAsignaturasTest, OneCatalogueRecordPerSubjectInPhysicalOrder) {
  writeSource("asignat", kAsignatFields,
              {{"1ESOMAT", "Matemàtiques", "Matemáticas", "4", "MAT"},
               {"2BACFIS", "Física", "Física", "12,5", "FIS"},
               {"1ESOMAT", "Matemàtiques", "Matemáticas", "4", "MAT"},
               {"3ESOREL", "Religió", "Religión", "", "REL"},
               {"4ESOTUT", "Tutoria", "Tutoría", "0", "TUT"},
               {"1XYZ", "Neg", "Neg", "-3", ""},
               {"X", "Una", "Una", "  ", ""}});
  ExportarAsignaturas(ctx);

  const DbfContents asigvalt = output("ASIGVALT");
  ASSERT_EQ(asigvalt.size(), 7u);
  EXPECT_EQ(asigvalt.columnValues("CODVALEN"),
            (std::vector<std::string>{"1ESOMAT", "2BACFIS", "1ESOMAT", "3ESOREL", "4ESOTUT", "1XYZ", "X"}));
  EXPECT_EQ(asigvalt.columnValues("COD"),
            (std::vector<std::string>{"MAT", "FIS", "MAT", "REL", "TUT", "", ""}));
  EXPECT_EQ(asigvalt.columnValues("CODLARGO"), asigvalt.columnValues("COD"));
  EXPECT_EQ(asigvalt.columnValues("NOMBRE"),
            (std::vector<std::string>{"Matemàtiques", "Física", "Matemàtiques", "Religió", "Tutoria", "Neg",
                                      "Una"}));
  EXPECT_EQ(asigvalt.columnValues("NHORAS"), (std::vector<std::string>{"4", "12", "4", "1", "1", "1", "1"}));
  EXPECT_EQ(asigvalt.columnValues("NIVEL"),
            (std::vector<std::string>{"ESO", "BAC", "ESO", "ESO", "ESO", "XYZ", ""}));
  EXPECT_EQ(asigvalt.columnValues("CURSO"), (std::vector<std::string>{"1", "2", "1", "3", "4", "1", "X"}));
}

TEST_F(ExportarAsignaturasTest, LanguageChoosesTheNameField) {
  writeSource("asignat", kAsignatFields, {{"1ESOMAT", "Matemàtiques", "Matemáticas", "4", "MAT"}});
  for (const auto& [language, name] :
       std::vector<std::pair<std::string, std::string>>{{"CASTELLANO", "Matemáticas"},
                                                        {"VALENCIÁ", "Matemàtiques"},
                                                        {"castellano", "Matemàtiques"},
                                                        {"", "Matemàtiques"},
                                                        {"CASTELLANO ", "Matemàtiques"}}) {
    ctx.language = language;
    ExportarAsignaturas(ctx);
    const DbfContents asigvalt = output("ASIGVALT");
    ASSERT_EQ(asigvalt.size(), 1u);
    EXPECT_EQ(asigvalt.at(0, "NOMBRE"), name) << "language '" << language << "'";
    EXPECT_EQ(asigvalt.at(0, "COD"), "MAT");
    EXPECT_EQ(output("ASIGNOMT").at(0, "NOMBRE"), name);
  }
}

TEST_F(ExportarAsignaturasTest, NamesAndCodesAreCutToTheirFields) {
  writeSource("asignat", kAsignatFields,
              {{"12345678", "Una asignatura con un nombre de cuarenta y cinco", "x", "2", "ABC"}});
  ExportarAsignaturas(ctx);
  const DbfContents asigvalt = output("ASIGVALT");
  ASSERT_EQ(asigvalt.size(), 1u);
  EXPECT_EQ(asigvalt.at(0, "NIVEL"), "234");
  EXPECT_EQ(asigvalt.at(0, "CURSO"), "1");
  EXPECT_EQ(asigvalt.at(0, "NOMBRE"), "Una asignatura con un nombre de cuarenta");
}

TEST_F(ExportarAsignaturasTest, OneNameRecordPerShortCodeInCodeOrder) {
  writeSource("asignat", kAsignatFields,
              {{"2ESOMAT", "Mates 2", "x", "3", "MAT"},
               {"1ESOING", "Anglés", "x", "3", "ING"},
               {"1ESOMAT", "Mates 1", "x", "4", "MAT"},
               {"1ESOXXX", "Sense codi", "x", "1", ""},
               {"2ESOXXX", "Sense codi 2", "x", "1", ""},
               {"1ESOZZZ", "Última", "x", "1", "ZZZ"},
               {"1ESOmat", "minúscula", "x", "1", "mat"}});
  ExportarAsignaturas(ctx);

  // The first record of each run of equal codes in the COD index.
  std::vector<std::vector<std::string>> expected;
  Table asigvalt;
  asigvalt.setDatabaseName("C:\\KTEMP");
  asigvalt.setTableName("ASIGVALT.DBF");
  asigvalt.setIndexName("COD");
  asigvalt.open();
  std::string last = "@#$";
  for (asigvalt.first(); !asigvalt.eof(); asigvalt.next()) {
    if (asigvalt.asString("COD") == last) continue;
    last = asigvalt.asString("COD");
    expected.push_back({last, asigvalt.asString("CODLARGO"), asigvalt.asString("NOMBRE")});
  }
  asigvalt.close();

  const DbfContents asignomt = output("ASIGNOMT");
  ASSERT_EQ(asignomt.fields.size(), 3u);
  EXPECT_EQ(asignomt.records, expected);
  std::vector<std::string> codes = asignomt.columnValues("COD");
  std::sort(codes.begin(), codes.end());
  EXPECT_EQ(codes, (std::vector<std::string>{"", "ING", "MAT", "ZZZ", "mat"}))
      << "one record per distinct code";
  EXPECT_EQ(asignomt.at(0, "COD"), "") << "blank codes sort first";
  EXPECT_FALSE(interchangeExists("ASIGNOMT.MDX"));
}

TEST_F(ExportarAsignaturasTest, EmptySubjectsGiveEmptyTablesWithIndexes) {
  writeSource("asignat", kAsignatFields, {});
  ExportarAsignaturas(ctx);
  const DbfContents asigvalt = output("ASIGVALT");
  EXPECT_EQ(asigvalt.size(), 0u);
  EXPECT_EQ(asigvalt.fields.size(), 7u);
  EXPECT_EQ(output("ASIGNOMT").size(), 0u);
  EXPECT_TRUE(interchangeExists("ASIGVALT.MDX"));
  for (const char* tag : {"COD", "CODVALEN"}) {
    Table table;
    table.setDatabaseName("C:\\KTEMP");
    table.setTableName("ASIGVALT.DBF");
    table.setIndexName(tag);
    EXPECT_NO_THROW(table.open()) << tag;
    EXPECT_TRUE(table.eof());
    table.close();
  }
}

TEST_F(ExportarAsignaturasTest, LeftoverFilesAreReplaced) {
  writeSource("asignat", kAsignatFields, {{"1ESOMAT", "Mates", "x", "4", "MAT"}});
  writeDbf(ktemp() / "ASIGNOMT.DBF", "OLD C(3)", {{"old"}, {"old"}});
  writeDbf(ktemp() / "ASIGVALT.DBF", "OLD C(3)", {{"old"}, {"old"}});
  std::ofstream(ktemp() / "ASIGNOMT.MDX") << "stale index";
  ExportarAsignaturas(ctx);
  EXPECT_FALSE(interchangeExists("ASIGNOMT.MDX"));
  EXPECT_EQ(output("ASIGNOMT").size(), 1u);
  EXPECT_EQ(output("ASIGVALT").size(), 1u);
}

TEST_F(ExportarAsignaturasTest, HoursThatAreNoNumberStopWithTheConversionError) {
  writeSource("asignat", kAsignatFields,
              {{"1ESOMAT", "Mates", "x", "4", "MAT"}, {"1ESOING", "Anglés", "x", "ab", "ING"}});
  try {
    ExportarAsignaturas(ctx);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "'ab' no es un valor punto flotante válido");
  }
  tables.closeAll();
  EXPECT_EQ(output("ASIGVALT").columnValues("COD"), (std::vector<std::string>{"MAT"}));
  EXPECT_EQ(output("ASIGNOMT").size(), 0u);
}

TEST_F(ExportarAsignaturasTest, MissingFieldNamesTheComponent) {
  writeSource("asignat", "CODASIG C(8); VLITEASIG C(30); HORSEMTE C(5)", {{"1ESOMAT", "Mates", "4"}});
  try {
    ExportarAsignaturas(ctx);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "wwTableAsignat: No se encuentra el campo 'Litresv'");
  }
}

}  // namespace
}  // namespace pasarela::test

namespace pasarela::test {
namespace {

// The keys of ASIGVALT in the order of one of its tags, as TDbf reads them.
std::vector<std::string> keysByTDbf(const std::filesystem::path& table, const std::string& tag, int column) {
  std::vector<std::string> keys;
  for (const std::string& line : runTdbfOracle({"iterate", table.string(), tag, "fields"})) {
    std::istringstream fields(line);
    std::string hex;
    for (int i = 0; i <= column + 1; ++i) std::getline(fields, hex, '\t');  // after the record number
    std::string key;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
      key += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    while (!key.empty() && key.back() == ' ') key.pop_back();
    keys.push_back(key);
  }
  return keys;
}

TEST_F(ExportarAsignaturasTest, TagsIterateInKeyOrderInTDbf) {
  if (!tdbfOracleAvailable()) GTEST_SKIP() << "fpc missing";
  std::vector<Row> rows;
  std::vector<std::string> codes, shortCodes;
  for (int i = 0; i < 300; ++i) {
    // Codes in no particular order, with repeats.
    const std::string code = std::to_string((i * 7919) % 97) + "ESO" + std::string(1, char('A' + i % 26));
    const std::string shortCode = std::string(1, char('Z' - i % 26)) + std::to_string(i % 13);
    rows.push_back({code, "Nom", "Nombre", "3", shortCode});
    codes.push_back(code);
    shortCodes.push_back(shortCode);
  }
  writeSource("asignat", kAsignatFields, rows);
  ExportarAsignaturas(ctx);
  std::sort(codes.begin(), codes.end());
  std::sort(shortCodes.begin(), shortCodes.end());
  EXPECT_EQ(keysByTDbf(ktemp() / "ASIGVALT.DBF", "CODVALEN", 3), codes);
  EXPECT_EQ(keysByTDbf(ktemp() / "ASIGVALT.DBF", "COD", 0), shortCodes);
  std::vector<std::string> tags;
  for (const std::string& line : runTdbfOracle({"tags", (ktemp() / "ASIGVALT.DBF").string()}))
    if (line.rfind("ldid", 0) != 0) tags.push_back(line.substr(0, line.find('\t')));
  EXPECT_EQ(tags, (std::vector<std::string>{"COD", "CODVALEN"}));
}

}  // namespace
}  // namespace pasarela::test
