// The run's steps around the transfer: the notice and cursors, the missing
// solution, the teacher ID check and the time-slot template.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "dbase/mdx.h"
#include "import/controlar_dni_profesores.h"
#include "import_fixture.h"

namespace pasarela::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

const std::string kNotice =
    "La duración de este Proceso será más larga, en función de la cantidad de datos que tengamos en nuestro "
    "Horario.";

void setDni(const std::string& abrev, std::int64_t dni) {
  Table t;
  t.setDatabaseName("C:\\KTEMP");
  t.setTableName("proft.dbf");
  t.open();
  for (t.first(); !t.eof(); t.next()) {
    if (t.asString("ABREV") != abrev) continue;
    t.edit();
    t.setInteger("DNI", dni);
    t.post();
  }
  t.close();
}

class RunTest : public ImportTest {
 protected:
  void SetUp() override {
    ImportTest::SetUp();
    if (IsSkipped()) return;
    writeSmallSchool();
    horgrup = bytes("C:\\OB\\horgrup.dbf");
    horprof = bytes("C:\\OB\\horprof.dbf");
  }
  void expectSourceUnchanged() {
    EXPECT_EQ(bytes("C:\\OB\\horgrup.dbf"), horgrup);
    EXPECT_EQ(bytes("C:\\OB\\horprof.dbf"), horprof);
  }
  std::string horgrup, horprof;
};

TEST_F(RunTest, ACompleteRunShowsItsMessagesAndCursorsInOrder) {
  runImport();
  EXPECT_EQ(report.outcome, ImportReport::Outcome::Completed);
  EXPECT_THAT(ui.events, ElementsAre("notice:" + kNotice, "busy", "normal", "templateCheck", "busy", "normal",
                                     "notice:Proceso finalizado"));
  EXPECT_EQ(ctx.transformado, 1);
  EXPECT_FALSE(ui.closed);
  EXPECT_EQ(readBack("C:\\OB\\horgrup.dbf").rows.size(), 2u);
  EXPECT_EQ(readBack("C:\\OB\\horprof.dbf").rows.size(), 2u);
}

TEST_F(RunTest, EmbeddedRunClosesTheWindowAfterTheLastMessage) {
  ctx.numParametros = 2;
  runImport();
  EXPECT_EQ(ctx.transformado, 1);
  ASSERT_GE(ui.events.size(), 2u);
  EXPECT_EQ(ui.events[ui.events.size() - 2], "notice:Proceso finalizado");
  EXPECT_EQ(ui.events.back(), "close");
}

TEST_F(RunTest, MissingSolutionEndsTheRunBeforeAnythingChanges) {
  std::filesystem::remove(host("C:\\KTEMP\\SOLUC.DBF"));
  ctx.transformado = 7;
  runImport();
  EXPECT_EQ(report.outcome, ImportReport::Outcome::SolutionMissing);
  EXPECT_THAT(ui.events, ElementsAre("notice:" + kNotice, "busy", "normal",
                                     "notice:No se encuentra archivo SOLUC.DBF en C:\\KTEMP"));
  EXPECT_EQ(ctx.transformado, 7);
  expectSourceUnchanged();
}

TEST_F(RunTest, MissingSolutionInEmbeddedModeHandsBackZeroAndCloses) {
  std::filesystem::remove(host("C:\\KTEMP\\SOLUC.DBF"));
  ctx.numParametros = 2;
  ctx.transformado = 1;
  runImport();
  EXPECT_EQ(ctx.transformado, 0);
  EXPECT_EQ(ui.events.back(), "close");
}

TEST_F(RunTest, TeachersWithNumbersNeedNoWindow) {
  runImport({.dryRun = true});
  EXPECT_EQ(ui.teacherChecks, 0);
  EXPECT_EQ(ui.templateChecks, 1);
}

TEST_F(RunTest, NumbersTypedInTheWindowLetTheRunGoOnAndReachTheTimetable) {
  writeProft({{"GPJ", "GARCIA PEREZ JUAN", 0}, {"AB", "ALONSO BLASCO", 0}});
  ui.onTeacherCheck = [] {
    setDni("GPJ", 123);
    setDni("AB", 456);
  };
  runImport();
  EXPECT_EQ(ui.teacherChecks, 1);
  EXPECT_EQ(report.outcome, ImportReport::Outcome::Completed);
  // Normal cursor while each window is shown, busy again afterwards.
  EXPECT_THAT(ui.busyDuringWindows, ElementsAre(false, false));
  EXPECT_THAT(ui.events, ElementsAre("notice:" + kNotice, "busy", "normal", "teacherCheck", "busy", "normal",
                                     "templateCheck", "busy", "normal", "notice:Proceso finalizado"));
  auto prof = readBack("C:\\OB\\horprof.dbf");
  ASSERT_EQ(prof.rows.size(), 2u);
  EXPECT_EQ(prof.rows[0]["DNI"], "123");
  EXPECT_EQ(prof.rows[1]["DNI"], "456");
}

TEST_F(RunTest, ATeacherStillWithoutNumberEndsTheRunOnceWithTheThreeLines) {
  writeProft({{"GPJ", "GARCIA PEREZ JUAN", 0}, {"AB", "ALONSO BLASCO", 0}});
  ui.onTeacherCheck = [] { setDni("GPJ", 123); };
  ctx.transformado = 5;
  runImport();
  EXPECT_EQ(report.outcome, ImportReport::Outcome::TeachersWithoutDni);
  EXPECT_EQ(ui.teacherChecks, 1);
  EXPECT_EQ(ui.templateChecks, 0);
  ASSERT_GE(ui.notices.size(), 2u);
  EXPECT_EQ(ui.notices.back(),
            "¡Atención! Sigue habiendo algún Profesor sin D.N.I.\n\r"
            "Este proceso se dentendrá y deberá volver a ejecutar\n\r"
            "la Importación, para poder corregir la incidencia");
  EXPECT_TRUE(ui.closed);
  EXPECT_EQ(ui.events.back(), "close");
  EXPECT_FALSE(ui.busy);
  EXPECT_EQ(ctx.transformado, 5);
  expectSourceUnchanged();
}

TEST_F(RunTest, TheCheckLeavesTheTeacherTableOpenOnlyWhenItPasses) {
  auto open = ControlarDniProfesores(ui);
  ASSERT_NE(open, nullptr);
  EXPECT_TRUE(open->active());
  open.reset();
  writeProft({{"GPJ", "GARCIA PEREZ JUAN", 0}});
  ScriptedUi other;
  EXPECT_EQ(ControlarDniProfesores(other), nullptr);
  EXPECT_EQ(other.teacherChecks, 1);
}

TEST_F(RunTest, AMissingTeacherTableEndsTheRunWithTheNormalCursor) {
  std::filesystem::remove(host("C:\\KTEMP\\PROFT.DBF"));
  EXPECT_THROW(runImport(), Error);
  EXPECT_EQ(ui.events.back(), "normal");
  expectSourceUnchanged();
}

// The template: lhortipo of the chosen centre, the window, the read-back.
class TemplateTest : public RunTest {
 protected:
  std::vector<std::pair<std::string, std::string>> slotTimes() {
    auto grup = readBack("C:\\KTEMP\\VAVOVIDI\\horgrup.dbf");
    std::vector<std::pair<std::string, std::string>> out;
    for (auto& r : grup.rows) out.push_back({r["HORDIADES"], r["HORDIAHAS"]});
    return out;
  }
  void solutionForSlots(const std::vector<int>& slots) {
    std::vector<SolucRow> rows;
    for (int s : slots) rows.push_back({1, s, "A1", "GPJ", "ESO", "1", "MAT", "A"});
    writeSoluc(rows);
  }
};

TEST_F(TemplateTest, SlotsComeFromTheCentresLinesLastNonEmptyValueWinning) {
  writeLhortipo({{"46001", 1, "08:00", "08:55"},
                 {"46002", 1, "09:00", "09:55"},
                 {"046001", 2, "10:00", "10:55"},
                 {"46001", 3, "11:00", "11:55"},
                 {"46001", 3, "", "12:00"},
                 {"46001", 3, "11:05", ""},
                 {"46001", 0, "00:00", "00:55"},
                 {"46001", 21, "21:00", "21:55"},
                 {"46001", 20, "20:00:00", "20:55"}});
  solutionForSlots({1, 2, 3, 20});
  std::vector<std::tuple<std::int64_t, std::string, std::string>> seen;
  ui.onTemplateCheck = [&] {
    Table t;
    t.setDatabaseName("C:\\KTEMP\\Vavovidi");
    t.setTableName("plantilla");
    t.open();
    for (t.first(); !t.eof(); t.next())
      seen.emplace_back(t.asInteger("HORA"), t.asString("HORAINI"), t.asString("HORAFIN"));
  };
  runImport({.dryRun = true});
  ASSERT_EQ(seen.size(), 20u);
  for (int n = 1; n <= 20; ++n) EXPECT_EQ(std::get<0>(seen[n - 1]), n);
  EXPECT_EQ(seen[0], std::make_tuple(1, "08:00", "08:55"));
  EXPECT_EQ(seen[1], std::make_tuple(2, "", ""));
  EXPECT_EQ(seen[2], std::make_tuple(3, "11:05", "12:00"));
  EXPECT_EQ(seen[19], std::make_tuple(20, "20:00", "20:55"));
  EXPECT_THAT(slotTimes(), ElementsAre(std::pair<std::string, std::string>{"08:00", "08:55"},
                                       std::pair<std::string, std::string>{"", ""},
                                       std::pair<std::string, std::string>{"11:05", "12:00"},
                                       std::pair<std::string, std::string>{"20:00", "20:55"}));
  // A real production index with its tag HORA over the 20 rows.
  const auto dbf = bytes("C:\\KTEMP\\VAVOVIDI\\PLANTILLA.DBF");
  ASSERT_GT(dbf.size(), 29u);
  auto tags = dbase::readMdx(host("C:\\KTEMP\\VAVOVIDI\\PLANTILLA.MDX"), static_cast<std::uint8_t>(dbf[29]));
  ASSERT_EQ(tags.size(), 1u);
  EXPECT_EQ(tags[0].layout.name, "HORA");
  EXPECT_EQ(tags[0].entries.size(), 20u);
}

TEST_F(TemplateTest, TimesEditedInTheWindowAreTheOnesWritten) {
  solutionForSlots({1, 2, 5});
  ui.onTemplateCheck = [] {
    Table t;
    t.setDatabaseName("C:\\KTEMP\\Vavovidi");
    t.setTableName("plantilla");
    t.open();
    for (t.first(); !t.eof(); t.next()) {
      auto n = t.asInteger("HORA");
      if (n == 1 || n == 5) {
        t.edit();
        t.setString("HORAINI", n == 1 ? "" : "12:00");
        t.setString("HORAFIN", n == 1 ? "" : "12:55");
        t.post();
      }
    }
    t.close();
  };
  runImport({.dryRun = true});
  EXPECT_THAT(slotTimes(), ElementsAre(std::pair<std::string, std::string>{"", ""},
                                       std::pair<std::string, std::string>{"08:55", "09:50"},
                                       std::pair<std::string, std::string>{"12:00", "12:55"}));
}

TEST_F(TemplateTest, TemplateRowsOutsideTheDayAreIgnoredOnTheWayBack) {
  solutionForSlots({1, 2});
  ui.onTemplateCheck = [] {
    Table t;
    t.setTableName("C:\\KTEMP\\VAVOVIDI\\PLANTILLA.DBF");
    t.open();
    t.first();
    t.edit();
    t.setInteger("HORA", 25);
    t.post();
    t.close();
  };
  runImport({.dryRun = true});
  EXPECT_THAT(slotTimes(), ElementsAre(std::pair<std::string, std::string>{"", ""},
                                       std::pair<std::string, std::string>{"08:55", "09:50"}));
}

TEST_F(TemplateTest, TheTemplateIsReadBackByAnIndependentReader) {
  runImport({.dryRun = true});
  auto plantilla = readBack("C:\\KTEMP\\VAVOVIDI\\PLANTILLA.DBF");
  ASSERT_EQ(plantilla.rows.size(), 20u);
  EXPECT_THAT(plantilla.fields, ElementsAre("HORA", "HORAINI", "HORAFIN"));
  EXPECT_EQ(plantilla.rows[1]["HORAINI"], "08:55");
  EXPECT_EQ(plantilla.rows[19]["HORA"], "20");
}

}  // namespace
}  // namespace pasarela::test
