// The drive map and Windows path helpers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "base/error.h"
#include "data/winpath.h"
#include "support/drive_c.h"

namespace pasarela {
namespace {

namespace fs = std::filesystem;

class WinpathTest : public test::TempDriveTest {};

TEST_F(WinpathTest, ResolvesComponentsWithoutRegardToCase) {
  fs::create_directories(host("OB/Datos"));
  std::ofstream(host("OB/Datos/horgrup.dbf")) << "x";
  EXPECT_EQ(winpath::resolve("C:\\ob\\DATOS\\HORGRUP.DBF"), host("OB/Datos/horgrup.dbf"));
  EXPECT_EQ(winpath::resolve("c:/OB//datos\\\\horgrup.dbf"), host("OB/Datos/horgrup.dbf"));
  // What does not exist keeps its spelling.
  EXPECT_EQ(winpath::resolve("C:\\OB\\Nuevo\\AULAT.DBF"), host("OB/Nuevo/AULAT.DBF"));
  EXPECT_TRUE(winpath::fileExists("C:\\OB\\DATOS\\Horgrup.DBF"));
  EXPECT_FALSE(winpath::fileExists("C:\\OB\\DATOS"));
  EXPECT_TRUE(winpath::folderExists("c:\\ob\\datos"));
}

TEST_F(WinpathTest, MapsDrivesFromTheEnvironmentAndZToTheRoot) {
  // No Wine prefix, whatever the user running the tests has.
  const char* wine = std::getenv("WINEPREFIX");
  const std::optional<std::string> savedWine = wine ? std::optional<std::string>(wine) : std::nullopt;
  setenv("WINEPREFIX", (root_ / "sin-wine").c_str(), 1);
  EXPECT_EQ(winpath::driveRoot('c'), root_);
  EXPECT_EQ(winpath::driveRoot('Z'), fs::path("/"));
  EXPECT_EQ(winpath::resolve("Z:\\tmp"), fs::path("/tmp"));
  setenv("PASARELA_DRIVE_Q", (root_ / "KTEMP").c_str(), 1);
  EXPECT_NE(winpath::drives().find('Q'), std::string::npos);
  EXPECT_EQ(winpath::resolve("Q:\\a.dbf"), root_ / "KTEMP" / "a.dbf");
  // The longest mapped prefix names a host path.
  EXPECT_EQ(winpath::fromHost(root_ / "KTEMP" / "a.dbf"), "Q:\\a.dbf");
  unsetenv("PASARELA_DRIVE_Q");
  EXPECT_EQ(winpath::fromHost(root_ / "KTEMP" / "a.dbf"), "C:\\KTEMP\\a.dbf");
  EXPECT_EQ(winpath::fromHost("/usr/share"), "Z:\\usr\\share");
  EXPECT_THROW(winpath::resolve("Q:\\a.dbf"), Error);
  if (savedWine)
    setenv("WINEPREFIX", savedWine->c_str(), 1);
  else
    unsetenv("WINEPREFIX");
}

// ".." stops at a drive's root, as on Windows: a path of drive C never
// names a file outside it.
TEST_F(WinpathTest, ParentFoldersStopAtTheDrivesRoot) {
  EXPECT_EQ(winpath::resolve("C:\\..\\.."), root_);
  EXPECT_EQ(winpath::resolve("C:\\..\\..\\etc\\passwd"), root_ / "etc" / "passwd");
  EXPECT_EQ(winpath::resolve("C:\\OB\\..\\..\\KTEMP"), root_ / "KTEMP");
  EXPECT_EQ(winpath::resolve("C:\\OB\\Datos\\..\\x.dbf"), root_ / "OB" / "x.dbf");
}

// A network path is not a folder of the current drive.
TEST_F(WinpathTest, NetworkPathsAreRefused) {
  for (const char* unc : {"\\\\servidor\\OB\\horgrup.dbf", "//servidor/OB"}) {
    SCOPED_TRACE(unc);
    try {
      winpath::resolve(unc);
      FAIL() << "resolved";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find("ruta de red"), std::string::npos) << e.what();
    }
    EXPECT_THROW(winpath::fileExists(unc), Error);
  }
}

TEST_F(WinpathTest, CommandLinePathsAndTextHelpers) {
  EXPECT_EQ(winpath::fromCommandLine("c:/ktemp//AULAT.DBF"), "C:\\ktemp\\AULAT.DBF");
  EXPECT_EQ(winpath::fromCommandLine("C:\\\\grupos.dbf"), "C:\\grupos.dbf");
  EXPECT_EQ(winpath::fromCommandLine((root_ / "KTEMP" / "X.DBF").string()), "C:\\KTEMP\\X.DBF");
  EXPECT_EQ(winpath::fileNamePart("C:\\KTEMP\\AULAT.DBF"), "AULAT.DBF");
  EXPECT_EQ(winpath::fileNamePart("C:AULAT.DBF"), "AULAT.DBF");
  EXPECT_EQ(winpath::folderPart("C:\\KTEMP\\AULAT.DBF"), "C:\\KTEMP");
  EXPECT_EQ(winpath::join("C:\\KTEMP", "AULAT.DBF"), "C:\\KTEMP\\AULAT.DBF");
  EXPECT_EQ(winpath::join("C:\\", "AULAT.DBF"), "C:\\AULAT.DBF");
  EXPECT_TRUE(winpath::createFolders("C:\\KTEMP\\VAVOVIDI\\sub"));
  EXPECT_TRUE(fs::is_directory(host("KTEMP/VAVOVIDI/sub")));
  std::ofstream(host("KTEMP/borrar.dbf")) << "x";
  EXPECT_TRUE(winpath::deleteFile("C:\\KTEMP\\BORRAR.DBF"));
  EXPECT_FALSE(winpath::deleteFile("C:\\KTEMP\\BORRAR.DBF"));
}

}  // namespace
}  // namespace pasarela
