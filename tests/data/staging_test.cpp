// CopiarDatosOrigen: the ten staged copies of the school's tables.
#include <algorithm>

#include "base/error.h"
#include "data/staging.h"
#include "data/winpath.h"
#include "support/drive_c.h"

namespace pasarela {
namespace {

// The files the staging copies, in its order.
const char* const kStaged[] = {"grupos.dbf", "profesor.dbf", "horgrup.dbf", "asigalum.dbf", "asignat.dbf",
                               "aulas.dbf",  "alumnos.dbf",  "alumnos.fpt", "centro.dbf",   "lhortipo.dbf"};

class StagingTest : public test::DriveCTest {
 protected:
  // Distinct content per file and round, so that a copy under the wrong
  // name or an old copy shows.
  std::string content(const std::string& name, int round = 0) const {
    return name + "#" + std::to_string(round) +
           pattern(2049 + name.size() * 700, static_cast<unsigned>(round + 1));
  }
  void putSource(const std::string& folder, int round = 0) const {
    for (const char* name : kStaged) put(folder + "/" + name, content(name, round));
  }
  // A real table, for the table objects of the tests.
  void makeTable(const std::string& folder, const std::string& name) const {
    winpath::createFolders(folder);
    Table t;
    t.setDatabaseName(folder);
    t.setTableName(name);
    t.createTable({{"CODGRUP", FieldKind::String, 5}, {"TURNO", FieldKind::String, 1}});
    t.open();
    t.append();
    t.setString("CODGRUP", "1ESOA");
    t.setString("TURNO", "M");
    t.post();
    t.close();
  }
};

TEST_F(StagingTest, CopiesTheTenFilesAndCreatesTheStagingFolder) {
  putSource("OB");
  SchoolTables tables;
  CopiarDatosOrigen(tables, "C:\\OB");
  for (const char* name : kStaged) EXPECT_TRUE(holds(std::string("KTEMP/VAVOVIDI/") + name, content(name)));
}

TEST_F(StagingTest, LeavesTheTimetableOfTeachersAlone) {
  putSource("OB");
  put("OB/horprof.dbf", "the school's horprof");
  put("KTEMP/VAVOVIDI/horprof.dbf", "staged by the last import");
  SchoolTables tables;
  CopiarDatosOrigen(tables, "C:\\OB");
  EXPECT_EQ(get("KTEMP/VAVOVIDI/horprof.dbf"), "staged by the last import");
}

TEST_F(StagingTest, SourceWithoutTheFilesDeletesEveryStagedCopySilently) {
  putSource("KTEMP/VAVOVIDI");
  std::filesystem::create_directories(host("EMPTY"));
  SchoolTables tables;
  EXPECT_NO_THROW(CopiarDatosOrigen(tables, "C:\\EMPTY"));
  for (const char* name : kStaged) EXPECT_FALSE(exists(std::string("KTEMP/VAVOVIDI/") + name)) << name;
}

TEST_F(StagingTest, StudentsWithoutTheirMemoFile) {
  putSource("OB");
  std::filesystem::remove(host("OB/alumnos.fpt"));
  put("KTEMP/VAVOVIDI/alumnos.fpt", "memo of the last school");
  SchoolTables tables;
  CopiarDatosOrigen(tables, "C:\\OB");
  EXPECT_TRUE(holds("KTEMP/VAVOVIDI/alumnos.dbf", content("alumnos.dbf")));
  EXPECT_FALSE(exists("KTEMP/VAVOVIDI/alumnos.fpt"));
  EXPECT_TRUE(holds("KTEMP/VAVOVIDI/lhortipo.dbf", content("lhortipo.dbf")));
}

TEST_F(StagingTest, StagingTwiceReplacesEveryCopy) {
  putSource("OB", 1);
  SchoolTables tables;
  CopiarDatosOrigen(tables, "C:\\OB");
  putSource("OB", 2);
  CopiarDatosOrigen(tables, "C:\\OB");
  for (const char* name : kStaged)
    EXPECT_TRUE(holds(std::string("KTEMP/VAVOVIDI/") + name, content(name, 2)));
}

TEST_F(StagingTest, ADriveRootIsASourceFolder) {
  putSource("");
  SchoolTables tables;
  CopiarDatosOrigen(tables, "C:\\");  // C:\\grupos.dbf and so on
  for (const char* name : kStaged) EXPECT_TRUE(holds(std::string("KTEMP/VAVOVIDI/") + name, content(name)));
}

TEST_F(StagingTest, ClosesTheComponentsItReplaces) {
  std::filesystem::create_directories(host("KTEMP/VAVOVIDI"));
  makeTable("C:\\KTEMP\\VAVOVIDI", "grupos.dbf");
  makeTable("C:\\OB", "grupos.dbf");
  makeTable("C:\\KTEMP\\VAVOVIDI", "lhortipo.dbf");
  SchoolTables tables;
  tables.wwTableGrupos.open();
  tables.wwTableLhortipo.open();
  CopiarDatosOrigen(tables, "C:\\OB");
  EXPECT_FALSE(tables.wwTableGrupos.active());
  EXPECT_FALSE(tables.wwTableLhortipo.active());
  EXPECT_TRUE(holds("KTEMP/VAVOVIDI/grupos.dbf", get("OB/grupos.dbf")));
  EXPECT_FALSE(exists("KTEMP/VAVOVIDI/lhortipo.dbf"));  // no source: deleted, not copied
  tables.wwTableGrupos.open();
  EXPECT_EQ(tables.wwTableGrupos.asString("CODGRUP"), "1ESOA");
}

TEST_F(StagingTest, SourceTableInExclusiveUseStopsTheStaging) {
  putSource("OB");
  makeTable("C:\\OB", "asignat.dbf");
  Table school;  // the school-management program has asignat open
  school.setDatabaseName("C:\\OB");
  school.setTableName("asignat.dbf");
  school.setExclusive(true);
  school.open();
  SchoolTables tables;
  try {
    CopiarDatosOrigen(tables, "C:\\OB");
    FAIL() << "the staging succeeded";
  } catch (const IoError& e) {
    EXPECT_EQ(e.code(), 32);
    // The school's own file is named: that is the one the user can free.
    EXPECT_EQ(std::string(e.what()),
              "Error de E/S 32: 'C:\\OB\\asignat.dbf' (el archivo está en uso por otro programa)");
  }
  // Steps 1 to 4 are done, asignat's copy was deleted, the rest not staged.
  EXPECT_TRUE(holds("KTEMP/VAVOVIDI/asigalum.dbf", content("asigalum.dbf")));
  EXPECT_FALSE(exists("KTEMP/VAVOVIDI/asignat.dbf"));
  EXPECT_FALSE(exists("KTEMP/VAVOVIDI/aulas.dbf"));
}

TEST_F(StagingTest, StagedCopyHeldByAnotherProgramIsKeptAndReported) {
  putSource("OB");
  std::filesystem::create_directories(host("KTEMP/VAVOVIDI"));
  makeTable("C:\\KTEMP\\VAVOVIDI", "aulas.dbf");
  const std::string held = get("KTEMP/VAVOVIDI/aulas.dbf");
  Table other;
  other.setTableName("C:\\KTEMP\\VAVOVIDI\\aulas.dbf");
  other.setExclusive(true);
  other.open();
  SchoolTables tables;
  try {
    CopiarDatosOrigen(tables, "C:\\OB");
    FAIL() << "the staging succeeded";
  } catch (const IoError& e) {
    EXPECT_EQ(e.code(), 32);
  }
  EXPECT_EQ(other.asString("CODGRUP"), "1ESOA");
  EXPECT_FALSE(exists("KTEMP/VAVOVIDI/alumnos.dbf"));
  other.close();
  // Read once closed: on Windows the exclusive holder shuts this read out too.
  EXPECT_TRUE(holds("KTEMP/VAVOVIDI/aulas.dbf", held));
}

}  // namespace
}  // namespace pasarela
