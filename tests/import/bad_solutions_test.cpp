// Solutions and interchange sets that would give the school a wrong
// timetable are refused before anything changes, saying what is wrong; the
// school's files stay byte for byte as they were.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "data/interchange_set.h"
#include "import_fixture.h"

namespace pasarela::test {
namespace {

using ::testing::HasSubstr;

struct BadCase {
  const char* name;
  std::function<void(ImportTest&, TransferContext&)> spoil;
  const char* said;  // part of the refusal
};

class BadSolutionTest : public ImportTest, public ::testing::WithParamInterface<BadCase> {
 public:
  // The fixture's helpers, for the cases.
  using ImportTest::host;
  using ImportTest::makeTable;
  using ImportTest::writeAsigvalt;
  using ImportTest::writeSoluc;
};

const SolucRow kGood{1, 1, "A1", "GPJ", "ESO", "1", "MAT", "A"};

SolucRow with(SolucRow row, int dia, int hora) {
  row.dia = dia;
  row.hora = hora;
  return row;
}

TEST_P(BadSolutionTest, IsRefusedAndTheSchoolsFilesStayAsTheyWere) {
  writeSmallSchool();
  GetParam().spoil(*this, ctx);
  const std::string g = bytes("C:\\OB\\horgrup.dbf"), p = bytes("C:\\OB\\horprof.dbf");
  try {
    runImport();
    FAIL() << "the import went on";
  } catch (const Error& e) {
    EXPECT_THAT(std::string(e.what()), HasSubstr(GetParam().said));
  }
  EXPECT_EQ(bytes("C:\\OB\\horgrup.dbf"), g);
  EXPECT_EQ(bytes("C:\\OB\\horprof.dbf"), p);
  EXPECT_FALSE(std::filesystem::exists(host("C:\\KTEMP\\VAVOVIDI\\COPIAS")));
  EXPECT_NE(report.outcome, ImportReport::Outcome::Completed);
  EXPECT_FALSE(ui.busy);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadSolutionTest,
    ::testing::Values(
        BadCase{"Empty",
                [](ImportTest& fx, TransferContext&) { static_cast<BadSolutionTest&>(fx).writeSoluc({}); },
                "no tiene ninguna clase"},
        BadCase{"AllOnDayZero",
                [](ImportTest& fx, TransferContext&) {
                  static_cast<BadSolutionTest&>(fx).writeSoluc({with(kGood, 0, 1), with(kGood, 0, 2)});
                },
                "no tiene ninguna clase"},
        BadCase{"AllDeleted",
                [](ImportTest&, TransferContext&) {
                  Table soluc;
                  soluc.setTableName("C:\\KTEMP\\SOLUC.DBF");
                  soluc.open();
                  for (soluc.first(); !soluc.eof(); soluc.first()) soluc.deleteRecord();
                },
                "no tiene ninguna clase"},
        BadCase{"DayEight",
                [](ImportTest& fx, TransferContext&) {
                  static_cast<BadSolutionTest&>(fx).writeSoluc({kGood, with(kGood, 8, 1)});
                },
                "día fuera de 1 a 7 (DIA 8, registro 2)"},
        BadCase{"NegativeDay",
                [](ImportTest& fx, TransferContext&) {
                  static_cast<BadSolutionTest&>(fx).writeSoluc({with(kGood, -2, 1), kGood});
                },
                "día fuera de 1 a 7 (DIA -2, registro 1)"},
        BadCase{"SlotZero",
                [](ImportTest& fx, TransferContext&) {
                  static_cast<BadSolutionTest&>(fx).writeSoluc({kGood, with(kGood, 3, 0)});
                },
                "hora fuera de la plantilla de 1 a 20 (HORA 0, registro 2)"},
        BadCase{"SlotTwentyOne",
                [](ImportTest& fx, TransferContext&) {
                  static_cast<BadSolutionTest&>(fx).writeSoluc({with(kGood, 4, 21)});
                },
                "(HORA 21, registro 1)"},
        BadCase{"CentreNotInCentro", [](ImportTest&, TransferContext& c) { c.centre = "99999"; },
                "El centro '99999' no está en la tabla de centros"},
        BadCase{"NoCentre", [](ImportTest&, TransferContext& c) { c.centre.clear(); },
                "No se ha indicado el código del centro"},
        BadCase{"SetLeftByAKilledExport", [](ImportTest&, TransferContext&) { markInterchangeIncomplete(); },
                "de una exportación que no terminó"},
        BadCase{"EmptySubjectCatalogue",
                [](ImportTest& fx, TransferContext&) { static_cast<BadSolutionTest&>(fx).writeAsigvalt({}); },
                "'C:\\KTEMP\\ASIGVALT.DBF' no tiene registros"},
        BadCase{"SolutionCutInHalf",
                [](ImportTest& fx, TransferContext&) {
                  auto& b = static_cast<BadSolutionTest&>(fx);
                  b.writeSoluc({kGood, kGood, kGood, kGood});
                  auto path = b.host("C:\\KTEMP\\SOLUC.DBF");
                  std::filesystem::resize_file(path, std::filesystem::file_size(path) - 40);
                },
                "SOLUC.DBF' no es una tabla dBase válida: el archivo está truncado"},
        BadCase{"UnreadableDay",
                [](ImportTest& fx, TransferContext&) {
                  static_cast<BadSolutionTest&>(fx).makeTable(
                      "C:\\KTEMP\\SOLUC.DBF",
                      "DIA C(3); HORA N(2,0); AULA C(4); PROF C(4); NIVEL C(5); CURSO C(3); ASIG C(4); GRUPO "
                      "C(2)",
                      "[[\"1\",1,\"A1\",\"GPJ\",\"ESO\",\"1\",\"MAT\",\"A\"],"
                      "[\"x\",1,\"A1\",\"GPJ\",\"ESO\",\"1\",\"MAT\",\"A\"]]");
                },
                "'x' no es un valor entero válido (tabla "}),
    [](const ::testing::TestParamInfo<BadCase>& param) { return std::string(param.param.name); });

// Rows whose group or room the school does not know are transferred as the
// lookups leave them, and counted and named in the report.
TEST_F(ImportTest, UnknownGroupsAndRoomsAreCountedAndNamed) {
  writeSmallSchool();
  makeTable("C:\\OB\\grupos.dbf", "CODGRUP C(6); TURNO C(1)", "[[\"1ESOA\",\"M\"]]");
  makeTable("C:\\OB\\aulas.dbf", "CODAULA C(6); LITAULA C(30)", "[[\"A1\",\"Aula 1\"]]");
  for (const char* f : {"grupos.dbf", "aulas.dbf"})
    std::filesystem::copy_file(host("C:\\OB") / f, host("C:\\KTEMP\\VAVOVIDI") / f,
                               std::filesystem::copy_options::overwrite_existing);
  writeSoluc({{1, 1, "A1", "GPJ", "ESO", "1", "MAT", "A"},
              {2, 2, "A2", "AB", "ESO", "1", "LEN", "B"},
              {3, 2, "A2", "AB", "ESO", "1", "LEN", "B"}});
  runImport({.dryRun = true});
  EXPECT_EQ(report.rowsWritten, 3);
  // 1ESOLEN cut to four characters and "B": a group grupos does not have.
  EXPECT_EQ(report.rowsWithoutGroup, 2);
  EXPECT_EQ(report.unmatchedGroups, std::vector<std::string>{"1ESOB"});
  EXPECT_EQ(report.rowsWithoutRoom, 2);
  EXPECT_EQ(report.unmatchedRooms, std::vector<std::string>{"A2"});
}

}  // namespace
}  // namespace pasarela::test
