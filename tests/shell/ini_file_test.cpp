// Tempolis.ini: one key written, every other line of the file kept.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/error.h"
#include "shell/ini_file.h"

namespace fs = std::filesystem;
using pasarela::shell::setIniValue;
using pasarela::shell::writeIniValue;

namespace {

std::string readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const fs::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary);
  out << text;
}

class IniFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("pasarela-ini-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder_);
  }
  void TearDown() override {
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(folder_);
  }
  fs::path folder_;
};

}  // namespace

TEST(IniText, NewFileGetsSectionAndKey) {
  EXPECT_EQ(setIniValue("", "Transformadores", "Transformado", "1"),
            "[Transformadores]\r\nTransformado=1\r\n");
}

TEST(IniText, ReplacesTheValueAndKeepsEverythingElse) {
  const std::string before =
      "; written by the host\r\n[Tempolis]\r\nRuta=C:\\TEMPOLIS\r\n\r\n[Transformadores]\r\n; last result\r\n"
      "Otro=5\r\nTransformado=0\r\n\r\n[Final]\r\nX=1\r\n";
  const std::string after = setIniValue(before, "Transformadores", "Transformado", "1");
  EXPECT_EQ(
      after,
      "; written by the host\r\n[Tempolis]\r\nRuta=C:\\TEMPOLIS\r\n\r\n[Transformadores]\r\n; last result\r\n"
      "Otro=5\r\nTransformado=1\r\n\r\n[Final]\r\nX=1\r\n");
}

TEST(IniText, MatchesSectionAndKeyWithoutRegardToCaseOrBlanks) {
  const std::string after =
      setIniValue("[transformadores]\nTRANSFORMADO = 0\n", "Transformadores", "Transformado", "1");
  EXPECT_EQ(after, "[transformadores]\nTransformado=1\n");  // Unix endings stay Unix
}

TEST(IniText, AddsTheKeyAtTheEndOfItsSection) {
  const std::string after = setIniValue("[Transformadores]\r\nOtro=5\r\n\r\n[Final]\r\nX=1",
                                        "Transformadores", "Transformado", "0");
  EXPECT_EQ(after, "[Transformadores]\r\nOtro=5\r\nTransformado=0\r\n\r\n[Final]\r\nX=1");
}

TEST(IniText, AddsTheSectionAfterAFileWithoutFinalLineEnd) {
  EXPECT_EQ(setIniValue("[A]\r\nB=1", "Transformadores", "Transformado", "1"),
            "[A]\r\nB=1\r\n[Transformadores]\r\nTransformado=1\r\n");
}

TEST(IniText, ACommentedKeyIsNotTheKey) {
  EXPECT_EQ(setIniValue("[Transformadores]\n;Transformado=7\n", "Transformadores", "Transformado", "1"),
            "[Transformadores]\n;Transformado=7\nTransformado=1\n");
}

TEST_F(IniFolder, WritesAndRewritesTheFile) {
  const fs::path ini = folder_ / "Tempolis.ini";
  writeIniValue(ini, "C:\\P\\Tempolis.ini", "Transformadores", "Transformado", "0");
  EXPECT_EQ(readAll(ini), "[Transformadores]\r\nTransformado=0\r\n");
  writeAll(ini, "[Otra]\r\nK=v\r\n[Transformadores]\r\nTransformado=0\r\n");
  writeIniValue(ini, "C:\\P\\Tempolis.ini", "Transformadores", "Transformado", "1");
  EXPECT_EQ(readAll(ini), "[Otra]\r\nK=v\r\n[Transformadores]\r\nTransformado=1\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()),
            1);  // no temporary left
}

TEST_F(IniFolder, AReadOnlyFolderOrFileIsAnErrorNamingThePath) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes anywhere";
  const fs::path ini = folder_ / "Tempolis.ini";
  writeAll(ini, "[Otra]\r\nK=v\r\n");
  fs::permissions(ini, fs::perms::owner_read);
  try {
    writeIniValue(ini, "C:\\P\\Tempolis.ini", "Transformadores", "Transformado", "1");
    FAIL() << "a read-only file was written";
  } catch (const pasarela::Error& e) {
    EXPECT_STREQ(e.what(), "Unable to write to C:\\P\\Tempolis.ini");
  }
  EXPECT_EQ(readAll(ini), "[Otra]\r\nK=v\r\n");

  fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write);
  fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_THROW(writeIniValue(folder_ / "Nuevo.ini", "x", "Transformadores", "Transformado", "1"),
               pasarela::Error);
  EXPECT_FALSE(fs::exists(folder_ / "Nuevo.ini"));
}

TEST_F(IniFolder, AFileThatCannotBeReplacedIsAnError) {
  // Works for any user: a folder in the ini file's place, a missing folder.
  fs::create_directories(folder_ / "Tempolis.ini" / "dentro");
  EXPECT_THROW(writeIniValue(folder_ / "Tempolis.ini", "x", "Transformadores", "Transformado", "1"),
               pasarela::Error);
  EXPECT_TRUE(fs::is_directory(folder_ / "Tempolis.ini" / "dentro"));
  try {
    writeIniValue(folder_ / "falta" / "Tempolis.ini", "C:\\falta\\Tempolis.ini", "Transformadores",
                  "Transformado", "0");
    FAIL() << "wrote into a missing folder";
  } catch (const pasarela::Error& e) {
    EXPECT_STREQ(e.what(), "Unable to write to C:\\falta\\Tempolis.ini");
  }
}

TEST_F(IniFolder, AReadOnlyFileStaysAsItIsForEveryUser) {
  // The profile API refuses a read-only file whoever runs it; root included.
  const fs::path ini = folder_ / "Tempolis.ini";
  writeAll(ini, "[Transformadores]\r\nTransformado=0\r\n");
  fs::permissions(ini, fs::perms::owner_read | fs::perms::group_read);
  try {
    writeIniValue(ini, "C:\\P\\Tempolis.ini", "Transformadores", "Transformado", "1");
    FAIL() << "a read-only file was written";
  } catch (const pasarela::Error& e) {
    EXPECT_STREQ(e.what(), "Unable to write to C:\\P\\Tempolis.ini");
  }
  EXPECT_EQ(readAll(ini), "[Transformadores]\r\nTransformado=0\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(IniFolder, TheRewrittenFileKeepsItsPermissions) {
  const fs::path ini = folder_ / "Tempolis.ini";
  writeAll(ini, "[Otra]\r\nK=v\r\n");
  const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(ini, mode);
  writeIniValue(ini, "C:\\P\\Tempolis.ini", "Transformadores", "Transformado", "1");
  EXPECT_EQ(readAll(ini), "[Otra]\r\nK=v\r\n[Transformadores]\r\nTransformado=1\r\n");
  EXPECT_EQ(fs::status(ini).permissions() & fs::perms::all, mode);
}
