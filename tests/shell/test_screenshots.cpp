// The windows as X draws them (run under Xvfb): the main window and both
// check windows at their sizes, saved as PNGs in the build folder's
// artifacts/ folder for a person to look at.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "data/table.h"
#include "sample/sample_school.h"
#include "shell/control_plantilla.h"
#include "shell/control_profesores.h"
#include "shell_test_support.h"

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

  QString artifacts_;
};

}  // namespace

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
  {
    pasarela::Table t;
    t.setTableName("C:\\KTEMP\\PROFT.DBF");
    t.createTable({{"ABREV", pasarela::FieldKind::String, 4},
                   {"NOMBRE", pasarela::FieldKind::String, 40},
                   {"DEPART", pasarela::FieldKind::String, 40},
                   {"DNI", pasarela::FieldKind::Integer, 0}});
    t.open();
    const char* names[] = {"GARCÍA LÓPEZ, ANA", "PÉREZ ROS, JOAN", "MARTÍNEZ SANZ, LUIS"};
    for (int i = 0; i < 3; ++i) {
      t.append();
      t.setString("ABREV", std::string("P0") + char('1' + i));
      t.setString("NOMBRE", names[i]);
      t.setString("DEPART", "MATEMÁTICAS");
      if (i != 1) t.setInteger("DNI", 20000000 + i);
      t.post();
    }
    t.close();
  }
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
