#include <gtest/gtest.h>

#ifndef _WIN32
// The full-disk case needs a child process and a file-size limit.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "base/error.h"
#include "data/table.h"
#include "export/export_run.h"
#include "export_support.h"

namespace pasarela::test {
namespace {

const std::string kLongNotice =
    "notice:La duración de este Proceso será más larga, en función de la cantidad de datos que tengamos en "
    "nuestra ORBENTA.";

class ExportRunTest : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    if (IsSkipped()) return;
  }

  void writeSchool(bool withTeachers = true) {
    writeSource("asignat", kAsignatFields,
                {{"1ESOMAT", "Matemàtiques", "Matemáticas", "4", "MAT"},
                 {"1ESOVAL", "Valencià", "Valenciano", "3", "VAL"}});
    if (withTeachers) writeSource("profesor", kProfesorFields, {{"Gil Pons Joan", "Ciències", 111, nullptr}});
    writeSource("aulas", kAulasFields, {{"A1", "Aula 1"}});
    writeSource("grupos", kGruposFields, {{"1ESOA", "M"}});
    writeSource("alumnos", kAlumnosFields, {{"Pérez, Núria", "1234", "1ESO", "1ESOA", 0}});
    writeSource("asigalum", kAsigAlumFields, {{"1234", "1ESOMAT"}, {"1234", "1ESOVAL"}});
    writeSource("horgrup", kHorGrupFields, {{"1ESOA", "1ESOMAT", 111, 1}, {"1ESOA", "1ESOVAL", 111, 2}});
  }

  void writeOldRooms() { writeDbf(ktemp() / "AULAT.DBF", "OLD C(3)", {{"old"}}); }

  // Every file of C:\KTEMP outside the staging folder, with its bytes.
  std::map<std::string, std::string> snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(ktemp())) {
      const auto relative = std::filesystem::relative(entry.path(), ktemp()).string();
      if (relative.rfind("VAVOVIDI", 0) == 0 || relative == "PASARELA.BLQ")
        continue;  // staging; the run's lock
      if (entry.is_directory()) {
        files[relative + "/"] = "";
        continue;
      }
      std::ifstream in(entry.path(), std::ios::binary);
      files[relative] = std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
  }
};

TEST_F(ExportRunTest, RunsTheSevenExportsBetweenNoticeAndFinish) {
  writeSchool();
  writeOldRooms();
  bool untouchedDuringNotice = false;
  ui.onNotice = [&](const std::string& text) {
    if (text.rfind("La duración", 0) == 0)
      untouchedDuringNotice =
          !interchangeExists("ASIGVALT.DBF") && readDbf(ktemp() / "AULAT.DBF").fields[0].name == "OLD";
  };
  BExportarClick(ctx);

  EXPECT_TRUE(untouchedDuringNotice) << "the tables are touched only after the notice is closed";
  EXPECT_EQ(ui.calls, (std::vector<std::string>{kLongNotice, "busy", "normal", "notice:Proceso finalizado"}));
  EXPECT_EQ(ctx.transformado, 1);
  for (const char* table :
       {"ASIGVALT", "ASIGNOMT", "PROFT", "AULAT", "ALUMNOST", "ASIGCURT", "GRUPOST", "CURSOST", "ASIGT"})
    EXPECT_EQ(output(table).size() > 0, true) << table;
  const DbfContents asigt = output("ASIGT");
  EXPECT_EQ(asigt.columnValues("CASIG"), (std::vector<std::string>{"MAT", "VAL"}));
  EXPECT_EQ(asigt.columnValues("CPROF"), (std::vector<std::string>{"GPJ", "GPJ"}));
  EXPECT_EQ(output("ALUMNOST").at(0, "ASIG2"), "VAL");
  for (Table* table : tables.all()) EXPECT_FALSE(table->active()) << table->name();
}

// The report counts what an independent reader finds in each of the nine
// tables, and carries the procedures' warnings.
TEST_F(ExportRunTest, TheReportCountsEachTableAndKeepsTheWarnings) {
  writeSchool();
  writeSource("aulas", kAulasFields,
              {{"A1", "Aula 1"}, {"LAB123", "Laboratori"}, {"LAB124", "Laboratori 2"}});
  const ExportReport report = BExportarClick(ctx);
  const char* const nine[] = {"ASIGVALT", "ASIGNOMT", "PROFT",   "AULAT", "ALUMNOST",
                              "ASIGCURT", "GRUPOST",  "CURSOST", "ASIGT"};
  ASSERT_EQ(report.tables.size(), std::size(nine));
  for (std::size_t i = 0; i < std::size(nine); ++i) {
    EXPECT_EQ(report.tables[i].table, std::string("C:\\KTEMP\\") + nine[i] + ".DBF");
    EXPECT_EQ(report.tables[i].records, static_cast<long long>(output(nine[i]).size())) << nine[i];
  }
  ASSERT_EQ(report.warnings.size(), 1u);
  EXPECT_NE(report.warnings[0].find("'LAB123' y 'LAB124' como 'LAB1'"), std::string::npos)
      << report.warnings[0];
  EXPECT_NE(std::find(ui.calls.begin(), ui.calls.end(), "notice:" + report.warnings[0]), ui.calls.end())
      << "the warning is still shown";
}

TEST_F(ExportRunTest, SmallSchoolWithAwkwardDataFollowsTheRules) {
  writeSource("asignat", kAsignatFields,
              {{"1ESOMAT", "Matemàtiques", "Matemáticas", "4", "MAT"},
               {"1ESOALG", "Àlgebra", "Álgebra", ",5", "MAT"},
               {"2BACFIS", "Física", "Física", "", "FIS"},
               {"1ESOMAT", "Repetida", "Repetida", "-1", "REP"},
               {"X", "Sense codi", "Sin código", "2", ""}});
  std::vector<Row> teachers;
  for (int i = 0; i < 12; ++i) teachers.push_back({"Gil Pons Joan", "Dep", 100 + i, nullptr});
  teachers.push_back({"Gil Pons 1", "Dep", 200, nullptr});
  teachers.push_back({"Baixa Amb Data", "Dep", 300, "2021-09-01"});
  teachers.push_back({"", "Dep", 0, "2021-09-01"});
  teachers.push_back({"", "Dep", 0, nullptr});
  writeSource("profesor", kProfesorFields, teachers);
  writeSource("aulas", kAulasFields, {{"A1", "Aula 1"}, {"A1", "Aula 1 bis"}, {"LAB123", "Laboratori"}});
  writeSource("grupos", kGruposFields,
              {{"1ESOB", "T"}, {"1ESOA", "M"}, {"1ESOA", "M"}, {"2BACA", "MT"}, {"1", "M"}, {"1BA", ""}});
  writeSource("alumnos", kAlumnosFields,
              {{"Pérez, Núria", "1234", "1ESO", "1ESOA", 1},
               {"Sense grup", "1235", "1ESO", "", 0},
               {"Batxiller", "1236", "2BAC", "2BACA", 0},
               {"O'Neil", "O'N", "9ZZZ", "9ZZZA", 0}});
  writeSource(
      "asigalum", kAsigAlumFields,
      {{"1234", "1ESOMAT"}, {"1236", "2BACFIS"}, {"1234", "NOPE"}, {"1234", "1ESOALG"}, {"O'N", "X"}});
  writeSource("horgrup", kHorGrupFields,
              {{"1ESOA", "1ESOMAT", 100, 1},
               {"1ESOA", " 1ESOALG ", 100, 2},
               {"1ESOA", "1ESOMAT", 111, 3},
               {"2BACA", "2BACFIS", 999, 1},
               {"", "NOPE", 0, 1},
               {"1ESOA", "1ESOMAT", 100, 4}});
  ctx.language = "CASTELLANO";
  BExportarClick(ctx);
  checkAgainstRules("CASTELLANO");
}

TEST_F(ExportRunTest, EmbeddedModeClosesTheWindow) {
  writeSchool();
  ctx.numParametros = 2;
  BExportarClick(ctx);
  EXPECT_EQ(ui.calls,
            (std::vector<std::string>{kLongNotice, "busy", "normal", "notice:Proceso finalizado", "close"}));
  EXPECT_EQ(ctx.transformado, 1);
}

// A staged table missing: the run refuses before any interchange table is
// touched, naming the school's own file. (Before, the exports up to the
// failing one had already replaced their tables.)
TEST_F(ExportRunTest, AMissingSchoolTableStopsTheRunBeforeAnythingChanges) {
  writeSchool(/*withTeachers=*/false);
  writeOldRooms();
  ctx.numParametros = 2;
  const auto before = snapshot();
  try {
    BExportarClick(ctx);
    FAIL() << "the export went on";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("'C:\\OB\\profesor.dbf'"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ui.calls, (std::vector<std::string>{kLongNotice, "busy", "normal"}));
  EXPECT_EQ(ctx.transformado, 1) << "set before the exports start";
  EXPECT_EQ(snapshot(), before);
}

TEST_F(ExportRunTest, SecondRunReplacesTheFirst) {
  writeSchool();
  BExportarClick(ctx);
  writeSource("aulas", kAulasFields, {{"B1", "Aula B1"}, {"B2", "Aula B2"}});
  BExportarClick(ctx);
  EXPECT_EQ(output("AULAT").columnValues("ABREV"), (std::vector<std::string>{"B1", "B2"}));
  EXPECT_EQ(output("PROFT").size(), 1u);
}

// A failure in the last procedure, when the other eight tables are built:
// the previous nine stay byte for byte, and no building folder is left.
TEST_F(ExportRunTest, AFailureLateInTheRunLeavesThePreviousSetAsItWas) {
  writeSchool();
  BExportarClick(ctx);
  const auto before = snapshot();
  ASSERT_TRUE(before.count("ASIGVALT.MDX"));
  writeSource("horgrup", "CODGRUP C(5); CODASIG C(8); DNI C(10); DIASEM N(1,0)",
              {{"1ESOA", "1ESOMAT", "x", 1}});
  writeSource("aulas", kAulasFields, {{"B1", "Aula nova"}});
  EXPECT_THROW(BExportarClick(ctx), Error);
  EXPECT_EQ(snapshot(), before);
}

#ifndef _WIN32
// A disk that fills up while the new set is written (a file size limit in a
// child process) leaves the previous set as it was.
TEST_F(ExportRunTest, AFullDiskLeavesThePreviousSetAsItWas) {
  writeSchool();
  BExportarClick(ctx);
  const auto before = snapshot();
  std::size_t largest = 0;
  for (const auto& [name, bytes] : before) largest = std::max(largest, bytes.size());
  writeSource("aulas", kAulasFields, {{"B1", "Aula nova"}});
  std::fflush(nullptr);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = largest - 1;  // the largest table no longer fits
    ::setrlimit(RLIMIT_FSIZE, &limit);
    int code = 3;
    try {
      BExportarClick(ctx);
    } catch (const Error&) {
      code = 0;
    }
    std::_Exit(code);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the export should have failed";
  EXPECT_EQ(snapshot(), before);
}
#endif

TEST_F(ExportRunTest, ACompleteSetIsMarkedSoTheImportCanTellIt) {
  writeSchool();
  BExportarClick(ctx);
  const auto files = snapshot();
  ASSERT_TRUE(files.count("PASARELA.EXP"));
  EXPECT_EQ(files.at("PASARELA.EXP"), "EXPORTACION COMPLETA\r\n");
  for (const auto& [name, bytes] : files) EXPECT_EQ(name.find("PASARELA-NUEVO"), std::string::npos) << name;
}

// Room codes AULAT.ABREV cannot hold are cut as before, and the user is told
// which, and which end up sharing a code.
TEST_F(ExportRunTest, RoomCodesCutToFourCharactersAreNamed) {
  writeSchool();
  writeSource("aulas", kAulasFields,
              {{"A1", "Aula 1"}, {"TALLER", "Taller"}, {"LAB01", "Laboratori 1"}, {"LAB02", "Laboratori 2"}});
  BExportarClick(ctx);
  EXPECT_EQ(output("AULAT").columnValues("ABREV"), (std::vector<std::string>{"A1", "TALL", "LAB0", "LAB0"}));
  std::string warning;
  for (const std::string& call : ui.calls)
    if (call.rfind("notice:Aviso", 0) == 0) warning = call;
  EXPECT_NE(warning.find("'LAB01' y 'LAB02' como 'LAB0'"), std::string::npos) << warning;
  EXPECT_NE(warning.find("'TALLER' como 'TALL'"), std::string::npos) << warning;
  EXPECT_EQ(warning.find("'A1'"), std::string::npos) << warning;
}

// The staging folder named as the school's folder: refused, as the import
// refuses it, before anything is touched.
TEST_F(ExportRunTest, TheStagingFolderAsSourceIsRefused) {
  writeSchool();
  const auto before = snapshot();
  ctx.sourceFolder = "c:\\ktemp\\Vavovidi";
  try {
    BExportarClick(ctx);
    FAIL() << "the export went on";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("carpeta de trabajo"), std::string::npos) << e.what();
  }
  EXPECT_EQ(snapshot(), before);
}

// A school table cut short (half the teachers gone) is a damaged table: the
// run stops naming the school's file instead of exporting what is left.
TEST_F(ExportRunTest, ATruncatedSchoolTableStopsTheRunBeforeAnythingChanges) {
  writeSchool();
  writeSource("profesor", kProfesorFields,
              {{"Gil Pons Joan", "Ciències", 111, nullptr}, {"Roig Mas Anna", "Ciències", 222, nullptr}});
  const auto staged = staging() / "profesor.dbf";
  std::filesystem::resize_file(staged, std::filesystem::file_size(staged) - 40);
  const auto before = snapshot();
  try {
    BExportarClick(ctx);
    FAIL() << "the export went on";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("truncado"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("'C:\\OB\\profesor.dbf'"), std::string::npos) << e.what();
  }
  EXPECT_EQ(snapshot(), before);
}

}  // namespace
}  // namespace pasarela::test
