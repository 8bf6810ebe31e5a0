// The windows as X draws them (run under Xvfb): the main window and both
// check windows at their sizes, the import's report window and the progress
// display, saved as PNGs in the build folder's artifacts/ folder for a
// person to look at; and the captions the window system shows.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "data/table.h"
#include "import/import_run.h"
#include "sample/sample_school.h"
#include "shell/control_plantilla.h"
#include "shell/control_profesores.h"
#include "shell/progress_display.h"
#include "shell/report_window.h"
#include "shell_test_support.h"
#include "support/proft_writer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <QMessageBox>

using shelltest::ShellTest;

namespace {

class Screenshots : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
      GTEST_SKIP() << "needs an X display (xvfb-run)";
    artifacts_ = QString::fromLatin1(PASARELA_BINARY_DIR) + QStringLiteral("/artifacts");
    QDir().mkpath(artifacts_);
  }

  // What X shows of the window's client area.
  QImage shoot(QWidget& w, const QString& name) {
    w.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTest::qWait(300);
    const QPixmap shot = w.screen()->grabWindow(w.winId());
    shot.save(artifacts_ + "/" + name + ".png");
    return shot.toImage();
  }

  // A picture with text on it has many colours; a blank or failed one few.
  static int distinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
      for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
    return colours.size();
  }

  // The caption X holds for the window (_NET_WM_NAME), as a window manager
  // would draw it.
  static QString netWmName(QWidget& w) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return QStringLiteral("(no display)");
    const Atom name = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    QString caption = QStringLiteral("(none)");
    if (XGetWindowProperty(display, static_cast<Window>(w.winId()), name, 0, 4096, False, utf8, &type,
                           &format, &count, &after, &data) == Success &&
        data) {
      caption = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(count));
      XFree(data);
    }
    XCloseDisplay(display);
    return caption;
  }

  QString shownCaption(QWidget& w) {
    w.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    return netWmName(w);
  }

  QString artifacts_;
};

}  // namespace

TEST_F(Screenshots, TheWindowSystemShowsTheCaptionsAsTheyAre) {
  pasarela::sample::writeSampleSchool("C:\\OB", {});
  pasarela::shell::TExportarDatos main({});
  main.FormCreate();
  EXPECT_EQ(shownCaption(main), QStringLiteral("Exportar e importar datos "));
  {
    pasarela::Table t;
    t.setDatabaseName("C:\\KTEMP\\Vavovidi");
    t.setTableName("PLANTILLA.DBF");
    t.createTable({{"HORA", pasarela::FieldKind::Integer, 0},
                   {"HORAINI", pasarela::FieldKind::String, 5},
                   {"HORAFIN", pasarela::FieldKind::String, 5}},
                  {"HORA"});
  }
  pasarela::shell::TControlPlantilla plantilla(&main);
  EXPECT_EQ(shownCaption(plantilla), QStringLiteral("Control de Plantilla Horaria"));
  plantilla.close();
  pasarela::shell::ReportWindow report(&main, pasarela::shell::ReportWindow::Kind::Information,
                                       QStringLiteral("Proceso finalizado"), QStringLiteral("-"));
  EXPECT_EQ(shownCaption(report), QStringLiteral("PasarelaHoraria"));
  report.close();
  // A message box, shown as the program shows it.
  stopAnsweringBoxes();
  QString boxCaption;
  QTimer::singleShot(200, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    if (!QTest::qWaitForWindowExposed(box)) return;
    boxCaption = netWmName(*box);
    box->button(QMessageBox::Ok)->click();
  });
  pasarela::shell::showNotice(&main, QStringLiteral("Proceso finalizado"));
  EXPECT_EQ(boxCaption, QStringLiteral("PasarelaHoraria"));
}

TEST_F(Screenshots, ImportReportWindow) {
  pasarela::ImportReport r;
  r.outcome = pasarela::ImportReport::Outcome::Completed;
  r.rowsWritten = 2672;
  r.rowsWithoutTeacher = 89;
  r.unmatchedTeachers = {"ZZZ", ""};
  r.rowsWithoutSubject = 2672;
  r.unmatchedSubjects = {{"ESO", "1", "MAT"}, {"BAT", "2", "FIS"}};
  r.backupFolder = "C:\\KTEMP\\VAVOVIDI\\COPIAS\\2026-12-09_12-30-00";
  pasarela::shell::ReportWindow w(nullptr, pasarela::shell::ReportWindow::Kind::Information,
                                  QStringLiteral("Proceso finalizado"),
                                  QString::fromStdString(pasarela::importSummaryText(r, "C:\\OB")));
  const QImage image = shoot(w, QStringLiteral("import_report"));
  EXPECT_GT(distinctColours(image), 20);
  pasarela::shell::ReportWindow ask(
      nullptr, pasarela::shell::ReportWindow::Kind::GoOnOrCancel,
      QStringLiteral("El traspaso de la solución ha encontrado problemas"),
      QString::fromStdString(pasarela::transferProblemsText(r)) +
          QStringLiteral("\n¿Desea sustituir igualmente horgrup.dbf y horprof.dbf de C:\\OB?"));
  shoot(ask, QStringLiteral("import_problems"));
}

TEST_F(Screenshots, ProgressDisplayDuringARun) {
  pasarela::sample::writeSampleSchool("C:\\OB", {});
  pasarela::shell::TExportarDatos w({});
  w.FormCreate();
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  auto* progress = w.progressDisplay();
  progress->start(7);
  progress->step(QStringLiteral("Exportando asignaturas (ASIGVALT.DBF, ASIGNOMT.DBF)"));
  progress->step(QStringLiteral("Exportando profesores (PROFT.DBF)"));
  EXPECT_TRUE(progress->isVisible());
  EXPECT_EQ(progress->stepsDone(), 2);
  QTest::qWait(200);
  const QImage image = w.screen()->grabWindow(w.winId()).toImage();
  image.save(artifacts_ + "/progress_display.png");
  EXPECT_GT(distinctColours(image), 50);
  progress->finish();
}

TEST_F(Screenshots, MainWindow) {
  pasarela::sample::writeSampleSchool("C:\\OB", {});
  pasarela::shell::TExportarDatos w({});
  w.FormCreate();
  EXPECT_GT(w.CBCentro->count(), 0);
  const QImage image = shoot(w, QStringLiteral("main_window"));
  EXPECT_EQ(image.size(), QSize(599, 308));
  EXPECT_GT(distinctColours(image), 50);
}

TEST_F(Screenshots, TeacherCheckWindow) {
  pasarela::test::writeProft({{"P01", "GARCÍA LÓPEZ, ANA", "MATEMÁTICAS", 20000000},
                              {"P02", "PÉREZ ROS, JOAN", "MATEMÁTICAS", std::nullopt},
                              {"P03", "MARTÍNEZ SANZ, LUIS", "MATEMÁTICAS", 20000002}});
  pasarela::shell::TControlProfesores w(nullptr);
  const QImage image = shoot(w, QStringLiteral("control_profesores"));
  EXPECT_EQ(image.size(), QSize(726, 499));
  EXPECT_GT(distinctColours(image), 50);
}

TEST_F(Screenshots, TemplateCheckWindow) {
  {
    pasarela::Table t;
    t.setDatabaseName("C:\\KTEMP\\Vavovidi");
    t.setTableName("PLANTILLA.DBF");
    t.createTable({{"HORA", pasarela::FieldKind::Integer, 0},
                   {"HORAINI", pasarela::FieldKind::String, 5},
                   {"HORAFIN", pasarela::FieldKind::String, 5}},
                  {"HORA"});
    t.open();
    for (int n = 1; n <= 20; ++n) {
      t.append();
      t.setInteger("HORA", n);
      if (n <= 6) {
        t.setString("HORAINI", QStringLiteral("%1:00").arg(7 + n, 2, 10, QLatin1Char('0')).toStdString());
        t.setString("HORAFIN", QStringLiteral("%1:55").arg(7 + n, 2, 10, QLatin1Char('0')).toStdString());
      }
      t.post();
    }
    t.close();
  }
  pasarela::shell::TControlPlantilla w(nullptr);
  const QImage image = shoot(w, QStringLiteral("control_plantilla"));
  EXPECT_EQ(image.size(), QSize(726, 463));
  EXPECT_GT(distinctColours(image), 50);
}
