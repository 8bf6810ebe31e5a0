// Closing the main window: the hand-off flag in Tempolis.ini, other content
// of the file kept, and a failed write keeping the window open.
#include "shell_test_support.h"

using pasarela::shell::TExportarDatos;
using shelltest::ShellTest;

namespace {

class Close : public ShellTest {
 protected:
  std::unique_ptr<TExportarDatos> start(const QStringList& parameters) {
    auto window = startedWindow(parameters);
    boxes_.clear();  // start-up staging messages are not what these tests look at
    return window;
  }
};

}  // namespace

TEST_F(Close, EmbeddedWritesTheFlagKeepingTheRestOfTheFile) {
  const std::string before =
      "; Tempolis\r\n[Rutas]\r\nDatos=C:\\KTEMP\r\n\r\n[Transformadores]\r\nTransformado=1\r\nOtra=x\r\n";
  shelltest::writeFile(iniFile(), before);
  auto w = start({"exportar", "0"});
  EXPECT_TRUE(w->close());
  EXPECT_EQ(
      shelltest::readFile(iniFile()),
      "; Tempolis\r\n[Rutas]\r\nDatos=C:\\KTEMP\r\n\r\n[Transformadores]\r\nTransformado=0\r\nOtra=x\r\n");
  EXPECT_TRUE(errors().empty());
}

TEST_F(Close, TheFlagSetByARunIsWhatIsWritten) {
  auto w = start({"importar", "0"});
  pasarela::Transformado = 1;
  EXPECT_TRUE(w->close());
  EXPECT_EQ(shelltest::readFile(iniFile()), "[Transformadores]\r\nTransformado=1\r\n");
}

TEST_F(Close, StandAloneWritesNothing) {
  auto w = start({});
  pasarela::Transformado = 1;
  w->BClose->click();
  EXPECT_FALSE(w->isVisible());
  EXPECT_FALSE(std::filesystem::exists(iniFile()));
}

TEST_F(Close, AFailedWriteIsShownAndTheWindowStaysOpen) {
  std::filesystem::create_directories(iniFile() / "x");  // a folder where the file should be
  auto w = start({"importar", "0"});
  EXPECT_FALSE(w->close());
  EXPECT_TRUE(w->isVisible());
  ASSERT_EQ(errors().size(), 1u);
  EXPECT_TRUE(errors()[0].startsWith(QStringLiteral("Unable to write to ")));
  EXPECT_TRUE(errors()[0].endsWith(QStringLiteral("Tempolis.ini."))) << errors()[0].toStdString();
  // Once the file can be written the window closes.
  std::filesystem::remove_all(iniFile());
  EXPECT_TRUE(w->close());
  EXPECT_EQ(shelltest::readFile(iniFile()), "[Transformadores]\r\nTransformado=0\r\n");
}
