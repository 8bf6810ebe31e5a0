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
  pasarela::shell::TExportarDatos w({});
  w.FormCreate();
  const QImage image = shoot(w, QStringLiteral("main_window"));
  EXPECT_EQ(image.size(), QSize(599, 308));
  EXPECT_GT(distinctColours(image), 50);
}
