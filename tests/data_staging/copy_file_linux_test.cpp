// CopiarArchivo's faults that need Linux means: the immutable attribute,
// file modes and the file-size limit.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <memory>

#include "base/error.h"
#include "data/staging.h"
#include "drive_c.h"

namespace pasarela {
namespace {

using test::DriveCTest;

class CopyFileLinuxTest : public DriveCTest {};

// Expects CopiarArchivo to fail with this Windows code and its message.
void expectIoError(const std::string& destination, const std::string& source, int code,
                   const std::string& message) {
  try {
    CopiarArchivo(destination, source);
    FAIL() << "the copy succeeded";
  } catch (const IoError& e) {
    EXPECT_EQ(e.code(), code);
    EXPECT_EQ(std::string(e.what()), message);
  }
}

// Sets the immutable attribute of a file for its lifetime: writing is then
// refused to root as well, as on a read-only medium.
class Immutable {
 public:
  explicit Immutable(const std::filesystem::path& path) : path_(path) { set_ = change(true); }
  ~Immutable() {
    if (set_) change(false);
  }
  bool set() const { return set_; }

 private:
  bool change(bool on) {
    int fd = ::open(path_.c_str(), O_RDONLY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
      flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
      ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
  }
  std::filesystem::path path_;
  bool set_ = false;
};

TEST_F(CopyFileLinuxTest, ReadOnlySourceIsAccessDenied) {
  put("OB/grupos.dbf", "grupos");
  put("KTEMP/VAVOVIDI/grupos.dbf", "old copy");
  const std::filesystem::path source = host("OB/grupos.dbf");
  std::unique_ptr<Immutable> immutable;
  if (geteuid() == 0) {
    // Root ignores file modes.
    immutable = std::make_unique<Immutable>(source);
    if (!immutable->set()) GTEST_SKIP() << "running as root on a file system without the immutable attribute";
  } else {
    ASSERT_EQ(::chmod(source.c_str(), 0444), 0);
  }
  expectIoError("C:\\KTEMP\\VAVOVIDI\\grupos.dbf", "C:\\OB\\grupos.dbf", 5, "Acceso al archivo denegado");
  EXPECT_EQ(get("KTEMP/VAVOVIDI/grupos.dbf"), "old copy");
}

TEST_F(CopyFileLinuxTest, FullDiskIsReportedAndLeavesTheDestinationAsItWas) {
  // A file size limit makes the write store fewer bytes than were read, as
  // a full disk does.
  put("KTEMP/VAVOVIDI/horgrup.dbf", pattern(9000, 7));
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
  EXPECT_EQ(message, "Disco lleno");
  EXPECT_EQ(get("OB/horgrup.dbf"), "the school's timetable before the import");
  // Nothing but the two tables: no half-written copy left behind.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(host("OB"))) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST_F(CopyFileLinuxTest, CopyKeepsTheDestinationsPermissions) {
  put("OB/horgrup.dbf", "new");
  put("KTEMP/horgrup.dbf", "old");
  ASSERT_EQ(::chmod(host("KTEMP/horgrup.dbf").c_str(), 0640), 0);
  CopiarArchivo("C:\\KTEMP\\horgrup.dbf", "C:\\OB\\horgrup.dbf");
  struct stat st {};
  ASSERT_EQ(::stat(host("KTEMP/horgrup.dbf").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(get("KTEMP/horgrup.dbf"), "new");
}

}  // namespace
}  // namespace pasarela
