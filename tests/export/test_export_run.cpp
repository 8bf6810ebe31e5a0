#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "data/shell_flags.h"
#include "data/table.h"
#include "base/error.h"
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
    Transformado = 0;
    NumParametros = 0;
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
  EXPECT_EQ(Transformado, 1);
  for (const char* table :
       {"ASIGVALT", "ASIGNOMT", "PROFT", "AULAT", "ALUMNOST", "ASIGCURT", "GRUPOST", "CURSOST", "ASIGT"})
    EXPECT_EQ(output(table).size() > 0, true) << table;
  const DbfContents asigt = output("ASIGT");
  EXPECT_EQ(asigt.columnValues("CASIG"), (std::vector<std::string>{"MAT", "VAL"}));
  EXPECT_EQ(asigt.columnValues("CPROF"), (std::vector<std::string>{"GPJ", "GPJ"}));
  EXPECT_EQ(output("ALUMNOST").at(0, "ASIG2"), "VAL");
  for (Table* table : tables.all()) EXPECT_FALSE(table->active()) << table->name();
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
  NumParametros = 2;
  BExportarClick(ctx);
  EXPECT_EQ(ui.calls,
            (std::vector<std::string>{kLongNotice, "busy", "normal", "notice:Proceso finalizado", "close"}));
  EXPECT_EQ(Transformado, 1);
}

TEST_F(ExportRunTest, FailureStopsTheRunAndRestoresTheCursor) {
  writeSchool(/*withTeachers=*/false);
  writeOldRooms();
  NumParametros = 2;
  EXPECT_THROW(BExportarClick(ctx), Error);
  EXPECT_EQ(ui.calls, (std::vector<std::string>{kLongNotice, "busy", "normal"}));
  EXPECT_EQ(Transformado, 1) << "set before the exports start";
  EXPECT_EQ(output("ASIGVALT").size(), 2u) << "what the first export wrote stays";
  EXPECT_EQ(readDbf(ktemp() / "AULAT.DBF").fields[0].name, "OLD") << "later exports never ran";
  EXPECT_FALSE(interchangeExists("ASIGT.DBF"));
}

TEST_F(ExportRunTest, SecondRunReplacesTheFirst) {
  writeSchool();
  BExportarClick(ctx);
  writeSource("aulas", kAulasFields, {{"B1", "Aula B1"}, {"B2", "Aula B2"}});
  BExportarClick(ctx);
  EXPECT_EQ(output("AULAT").columnValues("ABREV"), (std::vector<std::string>{"B1", "B2"}));
  EXPECT_EQ(output("PROFT").size(), 1u);
}

}  // namespace
}  // namespace pasarela::test
