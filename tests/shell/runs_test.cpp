// The transfers started from their buttons on the sample school: notices,
// the hand-off flag, the check windows driven by a script, and an error of
// a run shown in the error box with the window still usable.
#include <QPlainTextEdit>
#include <QTest>

#include "data/table.h"
#include "data/winpath.h"
#include "modal_answerer.h"
#include "sample/fake_solution.h"
#include "sample/sample_school.h"
#include "shell/control_plantilla.h"
#include "shell/control_profesores.h"
#include "shell/report_window.h"
#include "shell_test_support.h"

using pasarela::Table;
using pasarela::shell::CheckWindow;
using pasarela::shell::ReportWindow;
using pasarela::shell::TControlPlantilla;
using pasarela::shell::TControlProfesores;
using pasarela::shell::TExportarDatos;
using shelltest::ShellTest;

namespace {

const QString kExportNotice = QStringLiteral(
    "La duración de este Proceso será más larga, en función de la cantidad de datos que tengamos en nuestra "
    "ORBENTA.");

class Runs : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    pasarela::sample::SampleOptions options;
    options.teachersWithoutDni = 2;
    pasarela::sample::writeSampleSchool("C:\\OB", options);
  }

  std::unique_ptr<TExportarDatos> start(const QStringList& parameters) {
    auto window = startedWindow(parameters);
    EXPECT_TRUE(errors().empty()) << (errors().empty() ? "" : errors()[0].toStdString());
    EXPECT_GT(window->CBCentro->count(), 0);
    boxes_.clear();
    return window;
  }

  // Export, then the generator's stand-in writes C:\KTEMP\SOLUC.DBF.
  void exportAndSolve(TExportarDatos& w) {
    w.BExportar->click();
    ASSERT_TRUE(errors().empty()) << errors()[0].toStdString();
    pasarela::sample::writeFakeSolution({});
    boxes_.clear();
  }

  // Rows of a table as "field=value" texts of the named fields.
  static std::vector<std::string> column(const std::string& path, const std::string& field) {
    Table t;
    t.setTableName(path);
    t.open();
    std::vector<std::string> out;
    for (t.first(); !t.eof(); t.next()) out.push_back(t.asString(field));
    t.close();
    return out;
  }

  std::vector<std::string> shown_;  // check windows in the order shown
};

}  // namespace

TEST_F(Runs, ExportFromItsButtonStandAlone) {
  auto w = start({});
  w->BExportar->click();
  EXPECT_TRUE(errors().empty()) << (errors().empty() ? "" : errors()[0].toStdString());
  ASSERT_EQ(notices().size(), 2u);
  EXPECT_EQ(notices()[0], kExportNotice);
  EXPECT_EQ(notices()[1], QStringLiteral("Proceso finalizado"));
  EXPECT_EQ(pasarela::Transformado, 1);
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  for (const char* name : {"ASIGVALT.DBF", "ASIGNOMT.DBF", "PROFT.DBF", "AULAT.DBF", "ALUMNOST.DBF",
                           "ASIGCURT.DBF", "GRUPOST.DBF", "CURSOST.DBF", "ASIGT.DBF"})
    EXPECT_TRUE(pasarela::winpath::fileExists(std::string("C:\\KTEMP\\") + name)) << name;
  w->close();
  EXPECT_FALSE(std::filesystem::exists(iniFile()));
}

TEST_F(Runs, EmbeddedExportClosesTheWindowAndHandsBackOne) {
  auto w = start({"exportar", "0"});
  w->BExportar->click();
  EXPECT_TRUE(errors().empty());
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(shelltest::readFile(iniFile()), "[Transformadores]\r\nTransformado=1\r\n");
}

TEST_F(Runs, ImportWithTheMissingNumbersFilledAndASlotTimeCleared) {
  auto w = start({});
  exportAndSolve(*w);
  std::int64_t nextDni = 90000001;
  QString report;
  shelltest::ModalScript script([&](QWidget* modal) {
    if (auto* r = qobject_cast<ReportWindow*>(modal)) {
      if (!r->cancelButton()) report = r->report()->toPlainText();
      r->acceptButton()->click();
      return;
    }
    auto* checkWindow = qobject_cast<CheckWindow*>(modal);
    if (!checkWindow) return;
    CheckWindow& window = *checkWindow;
    auto* m = window.model();
    if (dynamic_cast<TControlProfesores*>(&window)) {
      shown_.push_back("profesores");
      window.grid()->setFocus();
      for (int row = 0; row < m->rowCount(); ++row) {
        const QString dni = m->data(m->index(row, 0)).toString().trimmed();
        if (dni.isEmpty() || dni == QStringLiteral("0"))
          m->setData(m->index(row, 0), QString::number(nextDni++));  // the cell editor's hand-over
      }
    } else if (dynamic_cast<TControlPlantilla*>(&window)) {
      shown_.push_back("plantilla");
      window.grid()->setFocus();
      m->setData(m->index(0, 1), QString());  // slot 1 has no start time any more
    }
    QTest::mouseClick(window.salir(), Qt::LeftButton);
  });
  w->BImportar->click();
  EXPECT_TRUE(errors().empty()) << (errors().empty() ? "" : errors()[0].toStdString());
  EXPECT_EQ(shown_, (std::vector<std::string>{"profesores", "plantilla"}));
  // The end is the report window: what was written and where the previous
  // files went.
  EXPECT_TRUE(report.startsWith(QStringLiteral("Proceso finalizado"))) << report.toStdString();
  EXPECT_TRUE(report.contains(QStringLiteral("C:\\KTEMP\\VAVOVIDI\\COPIAS\\"), Qt::CaseInsensitive));
  EXPECT_EQ(pasarela::Transformado, 1);
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(nextDni, 90000003);  // the two teachers without a number

  for (const std::string& dni : column("C:\\KTEMP\\PROFT.DBF", "DNI")) EXPECT_NE(dni, "0");
  // The source folder's timetable comes from the solution, with the new
  // numbers and without a start time for slot 1.
  const auto dnis = column("C:\\OB\\horprof.dbf", "dni");
  ASSERT_FALSE(dnis.empty());
  EXPECT_TRUE(
      std::any_of(dnis.begin(), dnis.end(), [](const std::string& d) { return d.rfind("9000000", 0) == 0; }));
  const auto slotNumbers = column("C:\\OB\\horgrup.dbf", "Numhora");
  const auto starts = column("C:\\OB\\horgrup.dbf", "Hordiades");
  ASSERT_EQ(slotNumbers.size(), starts.size());
  bool sawSlotOne = false, sawOtherStart = false;
  for (size_t i = 0; i < slotNumbers.size(); ++i) {
    if (slotNumbers[i] == "1") {
      sawSlotOne = true;
      EXPECT_EQ(starts[i], "");
    } else if (!starts[i].empty()) {
      sawOtherStart = true;
    }
  }
  EXPECT_TRUE(sawSlotOne);
  EXPECT_TRUE(sawOtherStart);
}

TEST_F(Runs, ATeacherLeftWithoutNumberEndsTheProgram) {
  auto w = start({});
  exportAndSolve(*w);
  const std::string before = shelltest::readFile(driveC_ / "OB" / "horgrup.dbf");
  shelltest::ModalScript script([&](QWidget* modal) {
    auto* window = qobject_cast<CheckWindow*>(modal);
    if (!window) return;
    shown_.push_back(dynamic_cast<TControlProfesores*>(window) ? "profesores" : "plantilla");
    QTest::mouseClick(window->salir(), Qt::LeftButton);  // nothing filled in
  });
  w->BImportar->click();
  EXPECT_EQ(shown_, (std::vector<std::string>{"profesores"}));
  ASSERT_FALSE(notices().empty());
  EXPECT_EQ(notices().back(), QStringLiteral("¡Atención! Sigue habiendo algún Profesor sin D.N.I.\n\r"
                                             "Este proceso se dentendrá y deberá volver a ejecutar\n\r"
                                             "la Importación, para poder corregir la incidencia"));
  EXPECT_FALSE(w->isVisible());  // closed even stand-alone
  EXPECT_EQ(shelltest::readFile(driveC_ / "OB" / "horgrup.dbf"), before);
}

TEST_F(Runs, ARunErrorIsShownAndTheWindowStaysUsable) {
  auto w = start({});
  // The staged subjects vanish: the first export procedure fails.
  std::filesystem::remove(pasarela::winpath::resolve("C:\\KTEMP\\VAVOVIDI\\asignat.dbf"));
  w->BExportar->click();
  ASSERT_EQ(errors().size(), 1u);
  EXPECT_TRUE(errors()[0].contains(QStringLiteral("asignat.dbf"), Qt::CaseInsensitive))
      << errors()[0].toStdString();
  EXPECT_EQ(notices(), (std::vector<QString>{kExportNotice}));  // no "Proceso finalizado"
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(pasarela::Transformado, 1);

  // Staging again from the source folder puts things right.
  boxes_.clear();
  w->ListaDirectoriosChange();
  w->BExportar->click();
  EXPECT_TRUE(errors().empty()) << (errors().empty() ? "" : errors()[0].toStdString());
  EXPECT_EQ(notices().back(), QStringLiteral("Proceso finalizado"));
}

TEST_F(Runs, AMissingSolutionInEmbeddedModeHandsBackZero) {
  auto w = start({"importar", "0"});
  pasarela::Transformado = 1;
  w->BImportar->click();
  ASSERT_EQ(notices().size(), 2u);
  EXPECT_EQ(notices()[1], QStringLiteral("No se encuentra archivo SOLUC.DBF en C:\\KTEMP"));
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(shelltest::readFile(iniFile()), "[Transformadores]\r\nTransformado=0\r\n");
}
