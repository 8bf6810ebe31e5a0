// CopiarArchivo on a temporary drive C:.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <memory>

#include "base/error.h"
#include "base/os/fault_injection.h"
#include "data/staging.h"
#include "drive_c.h"

namespace pasarela {
namespace {

using test::DriveCTest;

class CopyFileTest : public DriveCTest {};

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

// Holds a lock on a file through its own open, as another program would.
class HeldLock {
 public:
  HeldLock(const std::filesystem::path& path, bool exclusive) {
    fd_ = ::open(path.c_str(), O_RDWR);
    struct flock fl {};
    fl.l_type = static_cast<short>(exclusive ? F_WRLCK : F_RDLCK);
    fl.l_whence = SEEK_SET;
    locked_ = fd_ >= 0 && fcntl(fd_, F_OFD_SETLK, &fl) == 0;
  }
  ~HeldLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool locked() const { return locked_; }

 private:
  int fd_ = -1;
  bool locked_ = false;
};

TEST_F(CopyFileTest, CopiesEveryBlockSizeByteForByte) {
  // 0 bytes: one empty read; 2048: one full block then an empty read;
  // 2049: a full block, a 1-byte block; larger files many blocks.
  for (std::size_t size : {0u, 1u, 2047u, 2048u, 2049u, 4096u, 10000u}) {
    SCOPED_TRACE(size);
    const std::string content = pattern(size, static_cast<unsigned>(size));
    put("OB/grupos.dbf", content);
    put("KTEMP/VAVOVIDI/grupos.dbf", std::string(50000, 'x'));  // longer: must not survive past the copy
    CopiarArchivo("C:\\KTEMP\\VAVOVIDI\\grupos.dbf", "C:\\OB\\grupos.dbf");
    EXPECT_TRUE(holds("KTEMP/VAVOVIDI/grupos.dbf", content));
    EXPECT_TRUE(holds("OB/grupos.dbf", content));
  }
}

TEST_F(CopyFileTest, DestinationEndingInBackslashNamesAFolder) {
  put("OB/aulas.dbf", pattern(3000));
  std::filesystem::create_directories(host("KTEMP/VAVOVIDI"));
  CopiarArchivo("C:\\KTEMP\\VAVOVIDI\\", "C:\\OB\\aulas.dbf");
  EXPECT_TRUE(holds("KTEMP/VAVOVIDI/aulas.dbf", pattern(3000)));
}

TEST_F(CopyFileTest, MissingSourceChangesNothing) {
  put("KTEMP/VAVOVIDI/aulas.dbf", "old copy");
  EXPECT_NO_THROW(CopiarArchivo("C:\\KTEMP\\VAVOVIDI\\aulas.dbf", "C:\\OB\\aulas.dbf"));
  EXPECT_EQ(get("KTEMP/VAVOVIDI/aulas.dbf"), "old copy");
  EXPECT_NO_THROW(CopiarArchivo("C:\\KTEMP\\VAVOVIDI\\centro.dbf", "C:\\OB\\centro.dbf"));
  EXPECT_FALSE(exists("KTEMP/VAVOVIDI/centro.dbf"));
  // A folder of that name is no source file either.
  std::filesystem::create_directories(host("OB/grupos.dbf"));
  EXPECT_NO_THROW(CopiarArchivo("C:\\KTEMP\\VAVOVIDI\\grupos.dbf", "C:\\OB\\grupos.dbf"));
  EXPECT_FALSE(exists("KTEMP/VAVOVIDI/grupos.dbf"));
}

TEST_F(CopyFileTest, NamesResolveWithoutRegardToCase) {
  put("ob/GRUPOS.DBF", "grupos");
  put("KTEMP/Vavovidi/placeholder", "");
  CopiarArchivo("c:\\ktemp\\vavovidi\\grupos.dbf", "C:\\OB\\grupos.dbf");
  EXPECT_EQ(get("KTEMP/Vavovidi/grupos.dbf"), "grupos");
}

TEST_F(CopyFileTest, MissingDestinationFolderIsAnInvalidName) {
  put("OB/grupos.dbf", "grupos");
  expectIoError("C:\\KTEMP\\VAVOVIDI\\grupos.dbf", "C:\\OB\\grupos.dbf", 3, "Nombre de archivo inválido");
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

TEST_F(CopyFileTest, ReadOnlySourceIsAccessDenied) {
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

TEST_F(CopyFileTest, SourceInExclusiveUseIsASharingViolation) {
  put("OB/grupos.dbf", pattern(5000));
  put("KTEMP/VAVOVIDI/grupos.dbf", "old copy");
  HeldLock lock(host("OB/grupos.dbf"), true);
  ASSERT_TRUE(lock.locked());
  expectIoError("C:\\KTEMP\\VAVOVIDI\\grupos.dbf", "C:\\OB\\grupos.dbf", 32, "Error de E/S 32");
  EXPECT_EQ(get("KTEMP/VAVOVIDI/grupos.dbf"), "old copy");
}

TEST_F(CopyFileTest, SourceInSharedUseIsCopied) {
  put("OB/grupos.dbf", pattern(5000));
  std::filesystem::create_directories(host("KTEMP/VAVOVIDI"));
  HeldLock lock(host("OB/grupos.dbf"), false);
  ASSERT_TRUE(lock.locked());
  CopiarArchivo("C:\\KTEMP\\VAVOVIDI\\grupos.dbf", "C:\\OB\\grupos.dbf");
  EXPECT_TRUE(holds("KTEMP/VAVOVIDI/grupos.dbf", pattern(5000)));
}

TEST_F(CopyFileTest, DestinationInExclusiveUseIsASharingViolationAndKeepsItsContent) {
  put("OB/horgrup.dbf", pattern(5000));
  put("KTEMP/VAVOVIDI/horgrup.dbf", "held by another program");
  HeldLock lock(host("KTEMP/VAVOVIDI/horgrup.dbf"), true);
  ASSERT_TRUE(lock.locked());
  expectIoError("C:\\KTEMP\\VAVOVIDI\\horgrup.dbf", "C:\\OB\\horgrup.dbf", 32, "Error de E/S 32");
  EXPECT_EQ(get("KTEMP/VAVOVIDI/horgrup.dbf"), "held by another program");
}

TEST_F(CopyFileTest, FullDiskIsReportedAndLeavesTheDestinationAsItWas) {
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

TEST_F(CopyFileTest, CopyOntoItselfLeavesTheFile) {
  put("OB/grupos.dbf", pattern(3000));
  CopiarArchivo("C:\\OB\\GRUPOS.DBF", "C:\\OB\\grupos.dbf");
  EXPECT_TRUE(holds("OB/grupos.dbf", pattern(3000)));
}

TEST_F(CopyFileTest, FailedWriteLeavesTheDestinationAsItWasAndNoScratchFile) {
  // Any failure half-way (here the second block's write) must not reach the
  // school's file. The hook stands for a medium failing under the copy.
  const std::string before = "the school's timetable before the import";
  put("OB/horgrup.dbf", before);
  put("KTEMP/VAVOVIDI/horgrup.dbf", pattern(3 << 20, 5));  // several blocks
  int writes = 0;
  os::testing::ScopedFaultHook hook([&](os::testing::Call call, const std::filesystem::path&) {
    return call == os::testing::Call::Write && ++writes == 2 ? 29 : 0;
  });
  expectIoError("C:\\OB\\horgrup.dbf", "C:\\KTEMP\\VAVOVIDI\\horgrup.dbf", 29, "Error de E/S 29");
  EXPECT_EQ(writes, 2);
  EXPECT_EQ(get("OB/horgrup.dbf"), before);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(host("OB"))) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST_F(CopyFileTest, FailedReplacementLeavesTheDestinationAsItWas) {
  put("OB/horgrup.dbf", "old");
  put("KTEMP/VAVOVIDI/horgrup.dbf", pattern(5000));
  os::testing::ScopedFaultHook hook([](os::testing::Call call, const std::filesystem::path&) {
    return call == os::testing::Call::Replace ? 5 : 0;
  });
  expectIoError("C:\\OB\\horgrup.dbf", "C:\\KTEMP\\VAVOVIDI\\horgrup.dbf", 5, "Acceso al archivo denegado");
  EXPECT_EQ(get("OB/horgrup.dbf"), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(host("OB")), {}), 1);
}

TEST_F(CopyFileTest, LargeFilesAreCopiedWhole) {
  // Past the copy's block size, with a tail: by the system's own copy and,
  // with a hook set, block by block.
  const std::string content = pattern((5 << 20) + 17, 3);
  put("OB/alumnos.dbf", content);
  std::filesystem::create_directories(host("KTEMP"));
  CopiarArchivo("C:\\KTEMP\\alumnos.dbf", "C:\\OB\\alumnos.dbf");
  EXPECT_TRUE(holds("KTEMP/alumnos.dbf", content));
  os::testing::ScopedFaultHook hook([](os::testing::Call, const std::filesystem::path&) { return 0; });
  put("KTEMP/alumnos.dbf", "stale");
  CopiarArchivo("C:\\KTEMP\\alumnos.dbf", "C:\\OB\\alumnos.dbf");
  EXPECT_TRUE(holds("KTEMP/alumnos.dbf", content));
}

TEST_F(CopyFileTest, CopyKeepsTheDestinationsPermissions) {
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
