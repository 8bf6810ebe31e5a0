// The import from the window on the sample school, where it can go wrong:
// no centre to import for, a staging that failed and is retried, a solution
// whose rows miss their teacher or subject (shown before the copy back, with
// the choice to cancel, and in the final report).
#include <fcntl.h>
#include <unistd.h>

#include <QPlainTextEdit>
#include <QTest>
#include <cstdio>
#include <memory>

#include "data/table.h"
#include "data/winpath.h"
#include "modal_answerer.h"
#include "sample/fake_solution.h"
#include "sample/sample_school.h"
#include "shell/check_window.h"
#include "shell/progress_display.h"
#include "shell/report_window.h"
#include "shell_test_support.h"

using pasarela::Table;
using pasarela::shell::CheckWindow;
using pasarela::shell::ReportWindow;
using pasarela::shell::TExportarDatos;
using shelltest::ModalScript;
using shelltest::ShellTest;
namespace fs = std::filesystem;

namespace {

// Another program holding a table in exclusive use, as the school's program
// does while it has the table open (an open-file-description write lock).
class ExclusiveUse {
 public:
  explicit ExclusiveUse(const fs::path& file) : fd_(::open(file.c_str(), O_RDWR)) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    locked_ = fd_ >= 0 && ::fcntl(fd_, F_OFD_SETLK, &lock) == 0;
  }
  ~ExclusiveUse() { release(); }
  ExclusiveUse(const ExclusiveUse&) = delete;
  ExclusiveUse& operator=(const ExclusiveUse&) = delete;
  bool locked() const { return locked_; }
  void release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
  bool locked_ = false;
};

class SafeImport : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    pasarela::sample::writeSampleSchool("C:\\OB", {});
  }

  std::unique_ptr<TExportarDatos> start(const QStringList& parameters = {}) {
    return startedWindow(parameters);
  }

  // Export, the generator's stand-in, then `unknownTeacher` rows with a
  // teacher the school does not have and `unknownSubject` rows with a
  // subject it does not have.
  void exportAndSolve(TExportarDatos& w, int unknownTeacher, int unknownSubject) {
    w.BExportar->click();
    ASSERT_TRUE(errors().empty()) << errors()[0].toStdString();
    pasarela::sample::writeFakeSolution({});
    Table soluc;
    soluc.setTableName("C:\\KTEMP\\SOLUC.DBF");
    soluc.open();
    soluc.first();
    const std::string prof = soluc.asString("PROF"), nivel = soluc.asString("NIVEL"),
                      curso = soluc.asString("CURSO"), asig = soluc.asString("ASIG");
    for (int i = 0; i < unknownTeacher + unknownSubject; ++i) {
      soluc.append();
      soluc.setInteger("DIA", 1 + i % 5);
      soluc.setInteger("HORA", 12);
      soluc.setString("AULA", "A1");
      soluc.setString("PROF", i < unknownTeacher ? "ZZZ" : prof);
      soluc.setString("NIVEL", nivel);
      soluc.setString("CURSO", curso);
      soluc.setString("ASIG", i < unknownTeacher ? asig : "QQQ");
      soluc.setString("GRUPO", "A");
      soluc.post();
    }
    soluc.close();
    boxes_.clear();
  }

  std::string bytes(const char* file) const { return shelltest::readFile(driveC_ / "OB" / file); }

  // Rows of one of the school's tables whose field reads as `value`, counted
  // by an independent reader.
  long countWith(const char* file, const char* field, const char* value) const {
    const std::string command =
        "/usr/bin/python3 -c \"import dbfread,sys; t=dbfread.DBF(sys.argv[1]); "
        "print(sum(1 for r in t if str(r[sys.argv[2]] if r[sys.argv[2]] is not None "
        "else '').strip()==sys.argv[3]))\" '" +
        (driveC_ / "OB" / file).string() + "' " + field + " '" + value + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return -1;
    long n = -1;
    if (std::fscanf(pipe, "%ld", &n) != 1) n = -1;
    ::pclose(pipe);
    return n;
  }

  // Every check window is left with "Salir" as it is.
  static void leaveCheckWindows(QWidget* modal) {
    if (auto* check = qobject_cast<CheckWindow*>(modal)) check->salir()->click();
  }
};

}  // namespace

TEST_F(SafeImport, AnEmptyCentreListRefusesTheImportAndTouchesNothing) {
  // A table the staging cannot copy: the centre list stays empty.
  ExclusiveUse held(driveC_ / "OB" / "profesor.dbf");
  ASSERT_TRUE(held.locked());
  auto w = start();
  ASSERT_FALSE(errors().empty());
  EXPECT_TRUE(errors()[0].contains(QStringLiteral("32"))) << errors()[0].toStdString();
  ASSERT_EQ(w->CBCentro->count(), 0);
  held.release();
  pasarela::sample::writeSolutionTable("C:\\KTEMP\\SOLUC.DBF", {{1, 1, "A1", "X", "ESO", "1", "MAT", "A"}});
  const std::string horgrup = bytes("horgrup.dbf"), horprof = bytes("horprof.dbf");
  boxes_.clear();

  w->BImportar->click();
  ASSERT_EQ(errors().size(), 1u);
  EXPECT_TRUE(errors()[0].contains(QStringLiteral("centro"))) << errors()[0].toStdString();
  EXPECT_TRUE(notices().empty());  // not even the long-run notice
  EXPECT_EQ(bytes("horgrup.dbf"), horgrup);
  EXPECT_EQ(bytes("horprof.dbf"), horprof);
  EXPECT_EQ(pasarela::Transformado, 0);
  EXPECT_TRUE(w->isVisible());
}

TEST_F(SafeImport, ACentreTheStagedTableDoesNotHoldIsRefused) {
  auto w = start();
  ASSERT_TRUE(errors().empty());
  pasarela::sample::writeSolutionTable("C:\\KTEMP\\SOLUC.DBF", {{1, 1, "A1", "X", "ESO", "1", "MAT", "A"}});
  const std::string horgrup = bytes("horgrup.dbf");
  w->CBCentro->addItem(QStringLiteral("999999"));
  w->CBCentro->setCurrentIndex(w->CBCentro->count() - 1);
  w->BImportar->click();
  ASSERT_EQ(errors().size(), 1u);
  EXPECT_TRUE(errors()[0].contains(QStringLiteral("999999")));
  EXPECT_TRUE(errors()[0].contains(QStringLiteral("C:\\KTEMP\\VAVOVIDI\\centro"), Qt::CaseInsensitive))
      << errors()[0].toStdString();
  EXPECT_EQ(bytes("horgrup.dbf"), horgrup);
}

TEST_F(SafeImport, EnterOnTheFolderAfterAStagingErrorStagesAgainAndRefillsTheCentres) {
  const fs::path profesor = driveC_ / "OB" / "profesor.dbf";
  const std::string profesorBytes = shelltest::readFile(profesor);
  ExclusiveUse held(profesor);
  ASSERT_TRUE(held.locked());
  auto w = start();
  ASSERT_FALSE(errors().empty());
  ASSERT_EQ(w->ListaDirectorios->directory(), "C:\\OB");
  ASSERT_EQ(w->CBCentro->count(), 0);
  held.release();
  boxes_.clear();

  // The folder's own entry is the current one: Enter on it.
  w->ListaDirectorios->setFocus();
  ASSERT_EQ(w->ListaDirectorios->entryPath(w->ListaDirectorios->currentRow()), "C:\\OB");
  QTest::keyClick(w->ListaDirectorios, Qt::Key_Return);
  EXPECT_TRUE(errors().empty()) << (errors().empty() ? "" : errors()[0].toStdString());
  EXPECT_EQ(w->ListaDirectorios->directory(), "C:\\OB");
  EXPECT_EQ(shelltest::readFile(driveC_ / "KTEMP" / "VAVOVIDI" / "profesor.dbf"), profesorBytes);
  // The sample school's centres, read back from its centro table.
  Table centro;
  centro.setTableName("C:\\OB\\centro.dbf");
  centro.open();
  QStringList codes;
  for (centro.first(); !centro.eof(); centro.next())
    codes << QString::fromStdString(centro.asString("CODCEN"));
  centro.close();
  ASSERT_FALSE(codes.isEmpty());
  ASSERT_EQ(w->CBCentro->count(), codes.size());
  for (int i = 0; i < codes.size(); ++i) EXPECT_EQ(w->CBCentro->itemText(i), codes[i]);
  EXPECT_EQ(w->CBCentro->currentIndex(), 0);
}

TEST_F(SafeImport, ProblemsAreShownBeforeTheCopyBackAndInTheFinalReport) {
  auto w = start();
  exportAndSolve(*w, 3, 4);
  QString question, report;
  ModalScript script([&](QWidget* modal) {
    leaveCheckWindows(modal);
    if (auto* r = qobject_cast<ReportWindow*>(modal)) {
      if (r->cancelButton()) {
        question = r->report()->toPlainText();
        r->acceptButton()->click();  // go on
      } else {
        report = r->report()->toPlainText();
        r->acceptButton()->click();
      }
    }
  });
  w->BImportar->click();
  EXPECT_TRUE(errors().empty()) << (errors().empty() ? "" : errors()[0].toStdString());
  EXPECT_EQ(pasarela::Transformado, 1);

  const long withoutTeacher = countWith("horprof.dbf", "DNI", "0");
  const long withoutSubject = countWith("horgrup.dbf", "CODASIG", "");
  EXPECT_GE(withoutTeacher, 3);
  EXPECT_GE(withoutSubject, 4);
  for (const QString& text : {question, report}) {
    EXPECT_TRUE(text.contains(QStringLiteral("Filas sin profesor (DNI 0): %1").arg(withoutTeacher)))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Filas sin asignatura (CODASIG vacío): %1").arg(withoutSubject)))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("ZZZ")));
    EXPECT_TRUE(text.contains(QStringLiteral("QQQ")));
  }
  EXPECT_TRUE(report.startsWith(QStringLiteral("Proceso finalizado")));
  // The backup folder named in the report holds the previous files.
  const qsizetype at =
      report.indexOf(QStringLiteral("C:\\KTEMP\\VAVOVIDI\\COPIAS\\"), 0, Qt::CaseInsensitive);
  ASSERT_GE(at, 0) << report.toStdString();
  const QString folder = report.mid(at).section(u'\n', 0, 0).trimmed();
  EXPECT_TRUE(
      fs::exists(pasarela::winpath::resolve(pasarela::winpath::join(folder.toStdString(), "horgrup.dbf"))))
      << folder.toStdString();
  // Never a bare "Proceso finalizado".
  for (const QString& n : notices()) EXPECT_NE(n, QStringLiteral("Proceso finalizado"));
}

TEST_F(SafeImport, CancellingTheCopyBackLeavesTheSchoolsFilesAndHandsBackZero) {
  auto w = start({"importar", "0"});
  exportAndSolve(*w, 2, 0);
  const std::string horgrup = bytes("horgrup.dbf"), horprof = bytes("horprof.dbf");
  pasarela::Transformado = 1;
  bool asked = false;
  ModalScript script([&](QWidget* modal) {
    leaveCheckWindows(modal);
    if (auto* r = qobject_cast<ReportWindow*>(modal); r && r->cancelButton()) {
      asked = true;
      r->cancelButton()->click();
    }
  });
  w->BImportar->click();
  EXPECT_TRUE(asked);
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(bytes("horgrup.dbf"), horgrup);
  EXPECT_EQ(bytes("horprof.dbf"), horprof);
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(shelltest::readFile(iniFile()), "[Transformadores]\r\nTransformado=0\r\n");
}

namespace {

// Records the step the progress display shows each time it is painted.
class PaintedSteps : public QObject {
 public:
  explicit PaintedSteps(pasarela::shell::ProgressDisplay* progress) : progress_(progress) {
    progress->installEventFilter(this);
  }
  QStringList steps;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint && (steps.isEmpty() || steps.back() != progress_->stepText()))
      steps << progress_->stepText();
    return false;
  }

 private:
  pasarela::shell::ProgressDisplay* progress_;
};

}  // namespace

TEST_F(SafeImport, TheWindowPaintsEachStepOfTheExportWhileItRuns) {
  auto w = start();
  PaintedSteps painted(w->progressDisplay());
  w->BExportar->click();
  ASSERT_TRUE(errors().empty());
  EXPECT_FALSE(w->progressDisplay()->isVisible());
  const QString all = painted.steps.join(u'|');
  for (const char* table :
       {"ASIGVALT.DBF", "PROFT.DBF", "AULAT.DBF", "ALUMNOST.DBF", "ASIGCURT.DBF", "GRUPOST.DBF", "ASIGT.DBF"})
    EXPECT_TRUE(all.contains(QLatin1String(table))) << table << " in " << all.toStdString();
}
