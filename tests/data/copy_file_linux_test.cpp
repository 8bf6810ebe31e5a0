// CopiarArchivo's behaviour that needs Linux means: file modes and the
// file-size limit.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <iterator>

#include "base/error.h"
#include "data/staging.h"
#include "support/drive_c.h"

namespace pasarela {
namespace {

using test::DriveCTest;

class CopyFileLinuxTest : public DriveCTest {};

// A read-only school table is only read: the copy is made, with the school
// file's permissions.
TEST_F(CopyFileLinuxTest, ReadOnlySourceIsCopiedWithItsPermissions) {
  put("OB/grupos.dbf", "grupos");
  put("KTEMP/VAVOVIDI/grupos.dbf", "old copy");
  ASSERT_EQ(::chmod(host("OB/grupos.dbf").c_str(), 0444), 0);
  CopiarArchivo("C:\\KTEMP\\VAVOVIDI\\grupos.dbf", "C:\\OB\\grupos.dbf");
  EXPECT_EQ(get("KTEMP/VAVOVIDI/grupos.dbf"), "grupos");
  struct stat st {};
  ASSERT_EQ(::stat(host("KTEMP/VAVOVIDI/grupos.dbf").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u);
}

TEST_F(CopyFileLinuxTest, StagedCopyKeepsAPrivateSourcePrivate) {
  put("OB/alumnos.dbf", "student data");
  ASSERT_EQ(::chmod(host("OB/alumnos.dbf").c_str(), 0600), 0);
  std::filesystem::create_directories(host("KTEMP/VAVOVIDI"));
  const mode_t oldMask = ::umask(0);  // whatever the umask, the school's mode holds
  CopiarArchivo("C:\\KTEMP\\VAVOVIDI\\alumnos.dbf", "C:\\OB\\alumnos.dbf");
  ::umask(oldMask);
  struct stat st {};
  ASSERT_EQ(::stat(host("KTEMP/VAVOVIDI/alumnos.dbf").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(CopyFileLinuxTest, FullDiskIsReportedAndLeavesTheDestinationAsItWas) {
  // A file size limit makes the write store fewer bytes than were read, as
  // a full disk does.
  put("KTEMP/VAVOVIDI/horgrup.dbf", std::string(9000, 'x'));
  put("OB/horgrup.dbf", "the school's timetable before the import");
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 3000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  int code = 0;
  std::string message;
  try {
    CopiarArchivo("C:\\OB\\horgrup.dbf", "C:\\KTEMP\\VAVOVIDI\\horgrup.dbf");
  } catch (const IoError& e) {
    code = e.code();
    message = e.what();
  }
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(code, 101);
  EXPECT_EQ(message, "Disco lleno: 'C:\\OB\\horgrup.dbf'");
  EXPECT_EQ(get("OB/horgrup.dbf"), "the school's timetable before the import");
  // Nothing but the table: no half-written copy left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(host("OB")), {}), 1);
}

TEST_F(CopyFileLinuxTest, CopyTakesTheSourcesPermissions) {
  put("OB/horgrup.dbf", "new");
  put("KTEMP/horgrup.dbf", "old");
  ASSERT_EQ(::chmod(host("OB/horgrup.dbf").c_str(), 0640), 0);
  ASSERT_EQ(::chmod(host("KTEMP/horgrup.dbf").c_str(), 0666), 0);
  CopiarArchivo("C:\\KTEMP\\horgrup.dbf", "C:\\OB\\horgrup.dbf");
  struct stat st {};
  ASSERT_EQ(::stat(host("KTEMP/horgrup.dbf").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(get("KTEMP/horgrup.dbf"), "new");
}

}  // namespace
}  // namespace pasarela
