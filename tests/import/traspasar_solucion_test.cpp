// The solution transfer on hand-made tables: lookups, their tie-breaks, the
// slot times, the rows skipped, and the school's own table structure.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "import_fixture.h"

namespace pasarela::test {
namespace {

using ::testing::ElementsAre;

class TransferTest : public ImportTest {
 protected:
  void SetUp() override {
    ImportTest::SetUp();
    if (IsSkipped()) return;
    writeSchoolTimetables();
    makeTable("C:\\OB\\centro.dbf", "CODCEN N(8,0); LITCEN C(45)", "[[46001,\"IES Prueba\"]]");
    writeLhortipo(
        {{"46001", 1, "08:00", "08:55"}, {"46001", 2, "08:55", "09:50"}, {"46001", 20, "20:00", "20:55"}});
  }
};

TEST_F(TransferTest, TeacherNumbersComeFromTheFirstTeacherOfAnAbbreviationAndMatchExactly) {
  writeProft({{"GPJ", "GARCIA PEREZ JUAN", 111},
              {"AB", "ALONSO BLASCO", 222},
              {"GPJ", "GIL PONS JOSE", 333},
              {"gpj", "otro", 444}});
  writeAsigvalt({{"MAT", "1ESOMAT", "ESO", "1"}});
  writeSoluc({{1, 1, "A1", "GPJ", "ESO", "1", "MAT", "A"},
              {1, 2, "A1", "AB", "ESO", "1", "MAT", "A"},
              {1, 3, "A1", "Gpj", "ESO", "1", "MAT", "A"},
              {1, 4, "A1", "ZZ", "ESO", "1", "MAT", "A"},
              {1, 5, "A1", "gpj", "ESO", "1", "MAT", "A"}});
  runImport({.dryRun = true});

  auto prof = readBack("C:\\KTEMP\\VAVOVIDI\\horprof.dbf");
  auto grup = readBack("C:\\KTEMP\\VAVOVIDI\\horgrup.dbf");
  ASSERT_EQ(prof.rows.size(), 5u);
  ASSERT_EQ(grup.rows.size(), 5u);
  std::vector<std::string> profDni, grupDni;
  for (auto& r : prof.rows) profDni.push_back(r["DNI"]);
  for (auto& r : grup.rows) grupDni.push_back(r["DNI"]);
  EXPECT_THAT(profDni, ElementsAre("111", "222", "0", "0", "444"));
  EXPECT_EQ(profDni, grupDni);
  EXPECT_EQ(report.rowsWritten, 5);
  EXPECT_EQ(report.rowsWithoutTeacher, 2);
  EXPECT_THAT(report.unmatchedTeachers, ElementsAre("Gpj", "ZZ"));
}

TEST_F(TransferTest, SubjectCodeIsTheLowestCodvalenAmongEqualLevelCourseAndShortCode) {
  writeProft({{"GPJ", "GARCIA PEREZ JUAN", 111}});
  // Physical order differs from CODVALEN order on purpose.
  writeAsigvalt({{"MAT", "1ESOMATZ", "ESO", "1"},
                 {"MAT", "1ESOMATB", "ESO", "1"},
                 {"MAT", "1ESOMATA", "ESO", "2"},
                 {"MAT", "1ESOMATC", "ESO", "1"},
                 {"LEN", "1BALEN", "BA", "1"},
                 {"FIS", "2BA", "BA", "2"}});
  writeSoluc({{1, 1, "A1", "GPJ", "ESO", "1", "MAT", "A"},
              {1, 2, "A1", "GPJ", "ESO", "2", "MAT", "B"},
              {1, 3, "A1", "GPJ", "BA", "1", "LEN", "C"},
              {1, 4, "A1", "GPJ", "BA", "2", "FIS", "D"},
              {1, 5, "A1", "GPJ", "ESO", "1", "mat", "E"},
              {1, 6, "A1", "GPJ", "ESO", "3", "MAT", "F"},
              {1, 7, "A1", "GPJ", "ESO", "3", "MAT", "G"}});
  runImport({.dryRun = true});

  auto grup = readBack("C:\\KTEMP\\VAVOVIDI\\horgrup.dbf");
  ASSERT_EQ(grup.rows.size(), 7u);
  std::vector<std::string> codasig, codgrup;
  for (auto& r : grup.rows) codasig.push_back(r["CODASIG"]), codgrup.push_back(r["CODGRUP"]);
  EXPECT_THAT(codasig, ElementsAre("1ESOMATB", "1ESOMATA", "1BALEN", "2BA", "", "", ""));
  EXPECT_THAT(codgrup, ElementsAre("1ESOA", "1ESOB", "1BALC", "2BAD", "E", "F", "G"));
  EXPECT_EQ(report.rowsWithoutSubject, 3);
  ASSERT_EQ(report.unmatchedSubjects.size(), 2u);
  EXPECT_EQ(report.unmatchedSubjects[0], (ImportReport::Subject{"ESO", "1", "mat"}));
  EXPECT_EQ(report.unmatchedSubjects[1], (ImportReport::Subject{"ESO", "3", "MAT"}));
}

// Days and slots outside the week or the template are refused before the
// transfer (see bad_solutions_test.cpp); the rows here are all good ones.
TEST_F(TransferTest, DaysSlotsAndTimesFollowTheSolutionRowByRow) {
  writeProft({{"GPJ", "GARCIA PEREZ JUAN", 111}});
  writeAsigvalt({{"MAT", "1ESOMAT", "ESO", "1"}});
  writeSoluc({{0, 1, "A0", "GPJ", "ESO", "1", "MAT", "A"},
              {1, 1, "A1", "GPJ", "ESO", "1", "MAT", "A"},
              {7, 2, "A2", "GPJ", "ESO", "1", "MAT", "A"},
              {5, 20, "A5", "GPJ", "ESO", "1", "MAT", "A"},
              {5, 2, "A6", "GPJ", "ESO", "1", "MAT", "A"},
              {5, 2, "A6", "GPJ", "ESO", "1", "MAT", "A"},
              {0, 0, "", "", "", "", "", ""}});
  runImport({.dryRun = true});

  auto prof = readBack("C:\\KTEMP\\VAVOVIDI\\horprof.dbf");
  auto grup = readBack("C:\\KTEMP\\VAVOVIDI\\horgrup.dbf");
  ASSERT_EQ(prof.rows.size(), 5u);
  ASSERT_EQ(grup.rows.size(), 5u);
  struct Want {
    const char *dia, *hora, *desde, *hasta, *aula;
  };
  const Want want[] = {{"1", "1", "08:00", "08:55", "A1"},
                       {"7", "2", "08:55", "09:50", "A2"},
                       {"5", "20", "20:00", "20:55", "A5"},
                       {"5", "2", "08:55", "09:50", "A6"},
                       {"5", "2", "08:55", "09:50", "A6"}};
  for (size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(prof.rows[i]["DIASEM"], want[i].dia);
    EXPECT_EQ(prof.rows[i]["NUMHORA"], want[i].hora);
    EXPECT_EQ(prof.rows[i]["HORAD"], want[i].desde);
    EXPECT_EQ(prof.rows[i]["HORAH"], want[i].hasta);
    EXPECT_EQ(prof.rows[i]["OCUPA"], want[i].aula);
    EXPECT_EQ(prof.rows[i]["CODCEN"], "46001");
    EXPECT_EQ(grup.rows[i]["DIASEM"], want[i].dia);
    EXPECT_EQ(grup.rows[i]["NUMHORA"], want[i].hora);
    EXPECT_EQ(grup.rows[i]["HORDIADES"], want[i].desde);
    EXPECT_EQ(grup.rows[i]["HORDIAHAS"], want[i].hasta);
    EXPECT_EQ(grup.rows[i]["CODCEN"], "46001");
  }
}

TEST_F(TransferTest, SchoolTablesKeepTheirStructureAndCodePageAndNewRowsLeaveOtherFieldsEmpty) {
  writeProft({{"GPJ", "GARCIA PEREZ JUAN", 111}});
  writeAsigvalt({{"MAT", "1ESOMAT", "ESO", "1"}});
  writeSoluc({{1, 1, "Año", "GPJ", "ESO", "1", "MAT", "A"}});
  auto before = readBack("C:\\OB\\horgrup.dbf");
  auto beforeProf = readBack("C:\\OB\\horprof.dbf");
  ASSERT_EQ(before.rows.size(), 2u);
  runImport();
  ASSERT_EQ(report.outcome, ImportReport::Outcome::Completed);

  auto grup = readBack("C:\\OB\\horgrup.dbf");
  auto prof = readBack("C:\\OB\\horprof.dbf");
  EXPECT_EQ(grup.types, before.types);
  EXPECT_EQ(prof.types, beforeProf.types);
  EXPECT_EQ(grup.ldid, before.ldid);
  EXPECT_EQ(prof.ldid, beforeProf.ldid);
  ASSERT_EQ(grup.rows.size(), 1u);
  ASSERT_EQ(prof.rows.size(), 1u);
  EXPECT_EQ(grup.rows[0]["AULAGRUP"], "");
  EXPECT_EQ(grup.rows[0]["OBSERV"], "");
  EXPECT_EQ(prof.rows[0]["TIPO"], "");
  EXPECT_EQ(prof.rows[0]["OBSERV"], "");
  // Non-ASCII text reaches the school's code page.
  EXPECT_EQ(prof.rows[0]["OCUPA"], "Año");
}

TEST_F(TransferTest, AnAbbreviationChangedInTheCheckWindowChangesWhichRowsFindTheTeacher) {
  writeProft({{"GPJ", "GARCIA PEREZ JUAN", 0}, {"AB", "ALONSO BLASCO", 222}});
  writeAsigvalt({{"MAT", "1ESOMAT", "ESO", "1"}});
  writeSoluc({{1, 1, "A1", "XX", "ESO", "1", "MAT", "A"}, {1, 2, "A1", "GPJ", "ESO", "1", "MAT", "A"}});
  ui.onTeacherCheck = [] {
    Table t;
    t.setDatabaseName("C:\\KTEMP");
    t.setTableName("proft.dbf");
    t.open();
    t.first();
    t.edit();
    t.setString("ABREV", "XX");
    t.setInteger("DNI", 555);
    t.post();
    t.close();
  };
  runImport({.dryRun = true});
  auto prof = readBack("C:\\KTEMP\\VAVOVIDI\\horprof.dbf");
  ASSERT_EQ(prof.rows.size(), 2u);
  EXPECT_EQ(prof.rows[0]["DNI"], "555");
  EXPECT_EQ(prof.rows[1]["DNI"], "0");
}

TEST_F(TransferTest, AnUnreadableDayEndsTheRunWithTheSourceFolderUntouched) {
  writeProft({{"GPJ", "GARCIA PEREZ JUAN", 111}});
  writeAsigvalt({{"MAT", "1ESOMAT", "ESO", "1"}});
  makeTable("C:\\KTEMP\\SOLUC.DBF",
            "DIA C(3); HORA N(2,0); AULA C(4); PROF C(4); NIVEL C(5); CURSO C(3); ASIG C(4); "
            "GRUPO C(2)",
            "[[\"1\",1,\"A1\",\"GPJ\",\"ESO\",\"1\",\"MAT\",\"A\"],[\"x\",1,\"A1\",\"GPJ\",\"ESO\",\"1\","
            "\"MAT\",\"A\"]]");
  const std::string g = bytes("C:\\OB\\horgrup.dbf"), p = bytes("C:\\OB\\horprof.dbf");
  EXPECT_THROW(runImport(), Error);
  EXPECT_EQ(bytes("C:\\OB\\horgrup.dbf"), g);
  EXPECT_EQ(bytes("C:\\OB\\horprof.dbf"), p);
  EXPECT_FALSE(ui.busy);
  // The solution table is not left held by the failed run.
  Table soluc;
  soluc.setTableName("C:\\KTEMP\\SOLUC.DBF");
  soluc.setExclusive(true);
  EXPECT_NO_THROW(soluc.open());
}

TEST_F(TransferTest, ATimetableTableWithoutAListedFieldStopsTheRunNamingIt) {
  writeProft({{"GPJ", "GARCIA PEREZ JUAN", 111}});
  writeAsigvalt({{"MAT", "1ESOMAT", "ESO", "1"}});
  writeSoluc({{1, 1, "A1", "GPJ", "ESO", "1", "MAT", "A"}});
  makeTable("C:\\OB\\horgrup.dbf",
            "CODGRUP C(5); CODASIG C(8); DNI N(10,0); DIASEM N(2,0); NUMHORA N(2,0); CODCEN N(8,0)", "[]");
  const std::string g = bytes("C:\\OB\\horgrup.dbf"), p = bytes("C:\\OB\\horprof.dbf");
  try {
    runImport();
    FAIL() << "the run should have failed";
  } catch (const Error& e) {
    EXPECT_THAT(std::string(e.what()),
                ::testing::HasSubstr("wwTableHorGrup: No se encuentra el campo 'Hordiades'"));
  }
  EXPECT_EQ(bytes("C:\\OB\\horgrup.dbf"), g);
  EXPECT_EQ(bytes("C:\\OB\\horprof.dbf"), p);
}

TEST_F(TransferTest, ASolutionStillHeldByTheGeneratorStopsTheRunBeforeTheCopyBack) {
  writeProft({{"GPJ", "GARCIA PEREZ JUAN", 111}});
  writeAsigvalt({{"MAT", "1ESOMAT", "ESO", "1"}});
  writeSoluc({{1, 1, "A1", "GPJ", "ESO", "1", "MAT", "A"}});
  Table generator;
  generator.setTableName("C:\\KTEMP\\SOLUC.DBF");
  generator.setExclusive(true);
  generator.open();
  const std::string g = bytes("C:\\OB\\horgrup.dbf"), p = bytes("C:\\OB\\horprof.dbf");
  EXPECT_THROW(runImport(), Error);
  generator.close();
  EXPECT_EQ(bytes("C:\\OB\\horgrup.dbf"), g);
  EXPECT_EQ(bytes("C:\\OB\\horprof.dbf"), p);
  EXPECT_FALSE(ui.busy);
}

// Course codes with letters beyond ASCII: the group is the subject code's
// first four characters, not bytes, so it is a group the school has.
TEST_F(TransferTest, GroupCodesKeepMultiByteLettersWhole) {
  writeProft({{"GPJ", "GARCIA PEREZ JUAN", 111}});
  writeAsigvalt({{"MAT", "1EÑOMAT", "EÑO", "1"}, {"LEN", "2ESÒLEN", "ESÒ", "2"}});
  makeTable("C:\\OB\\grupos.dbf", "CODGRUP C(6); TURNO C(1)", "[[\"1EÑOA\",\"M\"],[\"2ESÒB\",\"M\"]]");
  std::filesystem::copy_file(host("C:\\OB\\grupos.dbf"), host("C:\\KTEMP\\VAVOVIDI\\grupos.dbf"),
                             std::filesystem::copy_options::overwrite_existing);
  writeSoluc({{1, 1, "A1", "GPJ", "EÑO", "1", "MAT", "A"}, {2, 2, "A1", "GPJ", "ESÒ", "2", "LEN", "B"}});
  runImport({.dryRun = true});
  auto grup = readBack("C:\\KTEMP\\VAVOVIDI\\horgrup.dbf");
  ASSERT_EQ(grup.rows.size(), 2u);
  // Expected: the groups as the independent reader reads them from grupos.
  auto groups = readBack("C:\\OB\\grupos.dbf");
  EXPECT_EQ(grup.rows[0]["CODGRUP"], groups.rows[0]["CODGRUP"]);
  EXPECT_EQ(grup.rows[1]["CODGRUP"], groups.rows[1]["CODGRUP"]);
  EXPECT_EQ(report.rowsWithoutGroup, 0);
}

}  // namespace
}  // namespace pasarela::test
