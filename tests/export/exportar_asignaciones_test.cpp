#include <gtest/gtest.h>

#include <fstream>

#include "base/error.h"
#include "export/export_run.h"
#include "export_support.h"

namespace pasarela::test {
namespace {

constexpr const char* kAsigvaltFields =
    "COD C(4); CODLARGO C(8); NOMBRE C(40); CODVALEN C(10); NHORAS N(8,2); NIVEL C(5); CURSO C(3)";
constexpr const char* kProftFields = "ABREV C(4); NOMBRE C(40); DEPART C(40); DNI N(10,0)";

class ExportarAsignacionesTest : public ExportTest {
 protected:
  // Catalogue rows: CODVALEN, COD, NHORAS.
  void writeCatalogue(const std::vector<std::tuple<std::string, std::string, double>>& subjects) {
    std::vector<Row> rows;
    for (const auto& [codvalen, cod, hours] : subjects)
      rows.push_back({cod, cod, "n", codvalen, hours, "", ""});
    writeDbf(ktemp() / "ASIGVALT.DBF", kAsigvaltFields, rows);
  }
  // Teacher rows: ABREV, DNI.
  void writeTeachers(const std::vector<std::pair<std::string, int>>& teachers) {
    std::vector<Row> rows;
    for (const auto& [abrev, dni] : teachers) rows.push_back({abrev, "n", "d", dni});
    writeDbf(ktemp() / "PROFT.DBF", kProftFields, rows);
  }
};

TEST_F(ExportarAsignacionesTest, WorkedExample) {
  writeCatalogue({{"MAT", "MA", 3.0}});
  writeTeachers({{"GPJ", 111}});
  writeSource("horgrup", kHorGrupFields,
              {{"1ESOA", "MAT", 111, 1},
               {"1ESOA", "MAT", 111, 2},
               {"1ESOA", "MAT", 111, 3},
               {"1ESOA", "MAT", 111, 4}});
  ExportarAsignaciones(ctx);
  const DbfContents asigt = output("ASIGT");
  ASSERT_EQ(asigt.fields.size(), 10u);
  ASSERT_EQ(asigt.size(), 1u);
  EXPECT_EQ(asigt.records[0],
            (std::vector<std::string>{"MA", "GPJ", "EO1A", "", "", "ESO", "1", "A", "3", "111"}));
}

TEST_F(ExportarAsignacionesTest, FirstOccurrenceOrderAndLookupTieBreaks) {
  writeCatalogue({{"MAT", "MA", 3.0},
                  {"ALG", "MA", 4.0},  // another subject with the same short code
                  {"MAT", "XX", 9.0},  // a later record of the same subject code
                  {"LONG", "LO", 25.0},
                  {"TINY", "TI", 0.4},
                  {"mat", "mi", 2.0}});
  writeTeachers({{"AAA", 5}, {"ZER", 0}, {"BBB", 5}, {"ZE2", 0}});
  writeSource("horgrup", kHorGrupFields,
              {{"1ESOA", "  MAT ", 5, 1},  // blanks around the code
               {"1ESOA", "ALG", 5, 1},     // same short code, teacher and group: merged
               {"1ESOB", "NOPE", 5, 1},    // not in the catalogue
               {"1ESOB", "GONE", 5, 1},    // also not: merged with the one above
               {"2BACA", "LONG", 99, 1},   // teacher unknown
               {"2BACA", "TINY", 0, 1},    // DNI 0: the first teacher without number
               {"", "mat", 5, 1},          // no group
               {"1ESOA", "MAT", 5, 1}});
  ExportarAsignaciones(ctx);
  const DbfContents asigt = output("ASIGT");
  ASSERT_EQ(asigt.size(), 5u);
  EXPECT_EQ(asigt.columnValues("CASIG"), (std::vector<std::string>{"MA", "", "LO", "TI", "mi"}));
  EXPECT_EQ(asigt.columnValues("CPROF"), (std::vector<std::string>{"AAA", "AAA", "", "ZER", "AAA"}));
  EXPECT_EQ(asigt.columnValues("CGRUP"), (std::vector<std::string>{"EO1A", "EO1B", "BC2A", "BC2A", ""}));
  EXPECT_EQ(asigt.columnValues("HORAS"), (std::vector<std::string>{"3", "1", "25", "0.4", "2"}));
  EXPECT_EQ(asigt.columnValues("SESIONES"),
            (std::vector<std::string>{"111", "1", std::string(20, '1'), "", "11"}));
  EXPECT_EQ(asigt.columnValues("NIVEL"), (std::vector<std::string>{"ESO", "ESO", "BAC", "BAC", ""}));
  EXPECT_EQ(asigt.columnValues("CURSO"), (std::vector<std::string>{"1", "1", "2", "2", ""}));
  EXPECT_EQ(asigt.columnValues("GRUPO"), (std::vector<std::string>{"A", "B", "A", "A", ""}));
  EXPECT_EQ(asigt.columnValues("CAULA"), std::vector<std::string>(5, ""));
  EXPECT_EQ(asigt.columnValues("TURNO"), std::vector<std::string>(5, ""));
}

TEST_F(ExportarAsignacionesTest, ALineMatchesTheRecordsAsAsigtHoldsThem) {
  writeCatalogue({{"MAT", "MA", 3.0}, {"FIS", "FI", 2.0}});
  // An abbreviation longer than CPROF is stored cut; one beyond ASCII goes
  // through the code page. A later line is compared with what is stored.
  writeDbf(ktemp() / "PROFT.DBF", "ABREV C(6); NOMBRE C(40); DEPART C(40); DNI N(10,0)",
           {{"ABCDE", "n", "d", 1}, {"ABCD", "n", "d", 2}, {"ABCDF", "n", "d", 3}, {"ÑÁ", "n", "d", 4}});
  writeSource("horgrup", kHorGrupFields,
              {{"1ESOA", "MAT", 1, 1},  // stored as ABCD
               {"1ESOA", "MAT", 2, 1},  // ABCD: the record above
               {"1ESOA", "MAT", 3, 1},  // ABCDF is not ABCD: a record of its own, stored as ABCD
               {"1ESOA", "MAT", 4, 1},
               {"1ESOA", "MAT", 4, 2},  // the record above
               {"1ESOA", "FIS", 2, 1}});
  ExportarAsignaciones(ctx);
  const DbfContents asigt = output("ASIGT");
  EXPECT_EQ(asigt.columnValues("CASIG"), (std::vector<std::string>{"MA", "MA", "MA", "FI"}));
  EXPECT_EQ(asigt.columnValues("CPROF"), (std::vector<std::string>{"ABCD", "ABCD", "ÑÁ", "ABCD"}));
}

TEST_F(ExportarAsignacionesTest, EmptyTimetableAndLeftoverIndex) {
  writeCatalogue({});
  writeTeachers({});
  writeSource("horgrup", kHorGrupFields, {});
  std::ofstream(ktemp() / "ASIGT.MDX") << "stale";
  ExportarAsignaciones(ctx);
  const DbfContents asigt = output("ASIGT");
  EXPECT_EQ(asigt.size(), 0u);
  EXPECT_EQ(asigt.fields.size(), 10u);
  EXPECT_FALSE(interchangeExists("ASIGT.MDX"));
}

TEST_F(ExportarAsignacionesTest, MissingTeacherTableStopsTheRun) {
  writeCatalogue({});
  writeSource("horgrup", kHorGrupFields, {});
  EXPECT_THROW(ExportarAsignaciones(ctx), Error);
}

}  // namespace
}  // namespace pasarela::test
