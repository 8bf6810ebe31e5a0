// Faults during the copy back into the school's folder: each ends with a
// clear message and the school's files byte for byte as they were.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <csignal>
#include <fstream>

#include "base/os/fault_injection.h"
#include "base/os/file.h"
#include "base/os/io_code.h"
#include "data/transfer_lock.h"
#include "import/copy_back.h"
#include "import_fixture.h"

namespace pasarela::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

// Runs `body` in a child process, so that limits and identities it takes do
// not reach the test program. Returns "ok", "error:<message>" or "skip:<why>".
std::string inChild(const std::function<std::string()>& body) {
  int fds[2];
  if (::pipe(fds) != 0) return "pipe failed";
  pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    std::string result;
    try {
      result = body();
    } catch (const std::exception& e) {
      result = std::string("error:") + e.what();
    }
    ssize_t ignored = ::write(fds[1], result.data(), result.size());
    (void)ignored;
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string out;
  char buffer[1024];
  for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
    out.append(buffer, static_cast<size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return out;
}

class CopyBackTest : public ImportTest {
 protected:
  void SetUp() override {
    ImportTest::SetUp();
    if (IsSkipped()) return;
    writeSmallSchool();
    // A solution much larger than the school's current timetable.
    std::vector<SolucRow> rows;
    for (int i = 0; i < 300; ++i) rows.push_back({1 + i % 5, 1 + i % 6, "A1", "GPJ", "ESO", "1", "MAT", "A"});
    writeSoluc(rows);
    horgrup = bytes("C:\\OB\\horgrup.dbf");
    horprof = bytes("C:\\OB\\horprof.dbf");
  }
  void expectSourceUnchanged() {
    EXPECT_EQ(bytes("C:\\OB\\horgrup.dbf"), horgrup);
    EXPECT_EQ(bytes("C:\\OB\\horprof.dbf"), horprof);
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(host("C:\\OB")))
      if (e.path().filename() != "PASARELA.BLQ")
        names.push_back(e.path().filename().string());  // the run's lock
    EXPECT_THAT(names, UnorderedElementsAre("horgrup.dbf", "horprof.dbf", "centro.dbf", "lhortipo.dbf"));
  }
  // Transfers into the staging folder only; the copy back is the test's.
  void prepareStaged() {
    runImport({.dryRun = true});
    ASSERT_EQ(report.outcome, ImportReport::Outcome::DryRun);
    ASSERT_GT(fs::file_size(host("C:\\KTEMP\\VAVOVIDI\\horgrup.dbf")), 8192u);
  }
  std::vector<std::string> backups() {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto& e : fs::directory_iterator(host("C:\\KTEMP\\VAVOVIDI") / "COPIAS", ec))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string horgrup, horprof;
};

TEST_F(CopyBackTest, ADryRunLeavesTheSchoolsFilesAndMakesNoBackup) {
  prepareStaged();
  expectSourceUnchanged();
  EXPECT_TRUE(backups().empty());
  EXPECT_EQ(ctx.transformado, 0);
}

TEST_F(CopyBackTest, ASuccessfulRunKeepsThePreviousFilesInADatedBackup) {
  runImport();
  ASSERT_EQ(report.outcome, ImportReport::Outcome::Completed);
  EXPECT_EQ(bytes("C:\\OB\\horgrup.dbf"), bytes("C:\\KTEMP\\VAVOVIDI\\horgrup.dbf"));
  EXPECT_EQ(bytes("C:\\OB\\horprof.dbf"), bytes("C:\\KTEMP\\VAVOVIDI\\horprof.dbf"));
  ASSERT_EQ(backups().size(), 1u);
  EXPECT_EQ(report.backupFolder, "C:\\KTEMP\\VAVOVIDI\\COPIAS\\" + backups()[0]);
  EXPECT_EQ(bytes(report.backupFolder + "\\horgrup.dbf"), horgrup);
  EXPECT_EQ(bytes(report.backupFolder + "\\horprof.dbf"), horprof);
}

TEST_F(CopyBackTest, OnlyTheLastTenBackupsAreKept) {
  prepareStaged();
  // A folder the user made there is not a backup of ours.
  fs::create_directories(host("C:\\KTEMP\\VAVOVIDI") / "COPIAS" / "mias");
  for (int i = 1; i <= 12; ++i) {
    std::ofstream(host("C:\\OB\\horgrup.dbf"), std::ios::binary | std::ios::trunc) << "version " << i;
    CopiarHorariosAlOrigen("C:\\OB");
  }
  auto names = backups();
  ASSERT_EQ(names.back(), "mias");
  names.pop_back();
  ASSERT_EQ(names.size(), 10u);
  std::vector<std::string> kept;
  for (auto& n : names) kept.push_back(bytes("C:\\KTEMP\\VAVOVIDI\\COPIAS\\" + n + "\\horgrup.dbf"));
  std::sort(kept.begin(), kept.end(), [](const std::string& a, const std::string& b) {
    return std::stoi(a.substr(8)) < std::stoi(b.substr(8));
  });
  EXPECT_EQ(kept.front(), "version 3");
  EXPECT_EQ(kept.back(), "version 12");
}

TEST_F(CopyBackTest, DiskFullWhileWritingTheNewFileLeavesTheOldOne) {
  prepareStaged();
  std::string result = inChild([] {
    std::signal(SIGXFSZ, SIG_IGN);
    // Room for the backup of the small old files, not for the new ones.
    rlimit limit{4096, 4096};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return std::string("skip:setrlimit");
    CopiarHorariosAlOrigen("C:\\OB");
    return std::string("ok");
  });
  EXPECT_THAT(result, HasSubstr("error:Disco lleno"));
  EXPECT_THAT(result, HasSubstr("no se han modificado"));
  expectSourceUnchanged();
}

TEST_F(CopyBackTest, HorgrupIsPutBackWhenHorprofCannotBeReplaced) {
  prepareStaged();
  // The renames over the school's two files, in order; the one over
  // horprof.dbf is refused as a locked file would be.
  std::vector<std::string> renamed;
  os::testing::ScopedFaultHook fault([&](os::testing::Call call, const fs::path& path) {
    const std::string name = path.filename().string();
    if (call != os::testing::Call::Replace || (name != "horgrup.dbf" && name != "horprof.dbf")) return 0;
    renamed.push_back(name);
    return name == "horprof.dbf" ? os::kErrorAccessDenied : 0;
  });
  try {
    CopiarHorariosAlOrigen("C:\\OB");
    FAIL() << "the copy back should have failed";
  } catch (const Error& e) {
    EXPECT_THAT(std::string(e.what()), HasSubstr("horprof.dbf"));
    EXPECT_THAT(std::string(e.what()), HasSubstr("no se han modificado"));
  }
  // The new horgrup.dbf in, horprof.dbf refused, the previous horgrup.dbf back.
  EXPECT_THAT(renamed, ::testing::ElementsAre("horgrup.dbf", "horprof.dbf", "horgrup.dbf"));
  expectSourceUnchanged();
  EXPECT_TRUE(backups().empty()) << "a backup of files left as they were would rotate a real one out";
}

// The process dies between the two renames (horgrup.dbf already new,
// horprof.dbf still old): the next run's start puts the pair back as it was
// and removes what the dead run left.
TEST_F(CopyBackTest, AKillBetweenTheTwoRenamesIsUndoneAtTheNextStart) {
  prepareStaged();
  const std::string newHorgrup = bytes("C:\\KTEMP\\VAVOVIDI\\horgrup.dbf");
  std::string result = inChild([] {
    os::testing::setFaultHook([](os::testing::Call call, const fs::path& path) {
      if (call == os::testing::Call::Replace && path.filename() == "horprof.dbf")
        ::_exit(9);  // killed right here
      return 0;
    });
    CopiarHorariosAlOrigen("C:\\OB");
    return std::string("ok");
  });
  EXPECT_EQ(result, "") << "the child should have died before the second rename";
  ASSERT_EQ(bytes("C:\\OB\\horgrup.dbf"), newHorgrup) << "the first rename was done";
  ASSERT_EQ(bytes("C:\\OB\\horprof.dbf"), horprof);
  ASSERT_TRUE(fs::exists(host("C:\\OB") / "PASARELA.DIARIO"));
  EXPECT_TRUE(RecuperarCopiaInterrumpida("C:\\OB"));
  expectSourceUnchanged();
  // And the next import goes through.
  runImport();
  EXPECT_EQ(report.outcome, ImportReport::Outcome::Completed);
  EXPECT_EQ(bytes("C:\\OB\\horgrup.dbf"), newHorgrup);
}

// Restoring a backup must restore a set that fits together: each table's
// index and memo files are kept with it.
TEST_F(CopyBackTest, TheBackupHoldsEachTablesIndexAndMemoFiles) {
  std::ofstream(host("C:\\OB") / "horgrup.mdx", std::ios::binary) << "the old index of horgrup";
  std::ofstream(host("C:\\OB") / "HORPROF.FPT", std::ios::binary) << "memos of horprof";
  runImport();
  ASSERT_EQ(report.outcome, ImportReport::Outcome::Completed);
  EXPECT_EQ(bytes(report.backupFolder + "\\horgrup.dbf"), horgrup);
  EXPECT_EQ(bytes(report.backupFolder + "\\horgrup.mdx"), "the old index of horgrup");
  EXPECT_EQ(bytes(report.backupFolder + "\\HORPROF.FPT"), "memos of horprof");
}

TEST_F(CopyBackTest, AHalfMadeBackupNeverCountsAndIsRemoved) {
  fs::create_directories(host("C:\\KTEMP\\VAVOVIDI") / "COPIAS" / "29991231-235959.incompleta");
  runImport();
  ASSERT_EQ(report.outcome, ImportReport::Outcome::Completed);
  EXPECT_EQ(backups().size(), 1u);
  EXPECT_EQ(report.backupFolder, "C:\\KTEMP\\VAVOVIDI\\COPIAS\\" + backups()[0]);
}

// Another run holding the interchange folder (the same C:\KTEMP) or the
// school's folder (another machine, its own C:\KTEMP): refused at once,
// naming the folder, with nothing touched.
TEST_F(CopyBackTest, ASecondRunOnTheSameFoldersIsRefusedAtOnce) {
  for (const char* folder : {"C:\\KTEMP", "C:\\OB"}) {
    SCOPED_TRACE(folder);
    const std::string staged = bytes("C:\\KTEMP\\VAVOVIDI\\lhortipo.dbf");
    {
      // Another process's (or machine's) run: its own open of the lock file.
      os::File other;
      ASSERT_TRUE(os::File::open(host(std::string(folder) + "\\PASARELA.BLQ"), os::Access::ReadWrite,
                                 os::Create::OrCreate, os::Share::Exclusive, other)
                      .ok());
      try {
        runImport();
        FAIL() << "the second run went on";
      } catch (const Error& e) {
        EXPECT_THAT(std::string(e.what()), HasSubstr("otra transferencia"));
        EXPECT_THAT(std::string(e.what()), HasSubstr(std::string("carpeta ") + folder + ":"));
      }
    }
    expectSourceUnchanged();
    EXPECT_TRUE(backups().empty());
    EXPECT_FALSE(fs::exists(host("C:\\KTEMP\\VAVOVIDI\\horgrup.dbf")));
  }
}

// Two imports started together: one runs, the other refuses or runs after
// it; never a pair from two runs or an empty timetable.
TEST_F(CopyBackTest, TwoImportsAtOnceGiveTheResultOfOne) {
  std::vector<pid_t> children;
  for (int i = 0; i < 2; ++i) {
    std::fflush(nullptr);
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int code = 3;
      try {
        runImport();
        code = report.outcome == ImportReport::Outcome::Completed ? 0 : 4;
      } catch (const Error& e) {
        code = std::string(e.what()).find("otra transferencia") != std::string::npos ? 1 : 5;
      }
      ::_exit(code);
    }
    children.push_back(pid);
  }
  int completed = 0;
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    const int code = WEXITSTATUS(status);
    EXPECT_TRUE(code == 0 || code == 1) << code;
    completed += code == 0;
  }
  EXPECT_GE(completed, 1);
  auto grup = readBack("C:\\OB\\horgrup.dbf");
  auto prof = readBack("C:\\OB\\horprof.dbf");
  EXPECT_EQ(grup.rows.size(), 300u);
  EXPECT_EQ(prof.rows.size(), 300u);
}

TEST_F(CopyBackTest, ALockHeldOnTheSchoolsFileStopsTheRunBeforeAnyChange) {
  int fd = ::open(host("C:\\OB\\horprof.dbf").c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  try {
    runImport();
    FAIL() << "the run should have failed";
  } catch (const IoError& e) {
    EXPECT_EQ(e.code(), 32);
    EXPECT_THAT(std::string(e.what()), HasSubstr("Error de E/S 32"));
    EXPECT_THAT(std::string(e.what()), HasSubstr("C:\\OB\\horprof.dbf"));
  }
  ::close(fd);
  expectSourceUnchanged();
  EXPECT_TRUE(backups().empty());
  EXPECT_FALSE(ui.busy);
  EXPECT_EQ(ctx.transformado, 0);
}

TEST_F(CopyBackTest, ARecordLockOfADatabaseEngineCountsAsInUse) {
  prepareStaged();
  int fd = ::open(host("C:\\OB\\horgrup.dbf").c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0x40000000;
  lock.l_len = 1;
  ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &lock), 0);
  EXPECT_THROW(CopiarHorariosAlOrigen("C:\\OB"), IoError);
  ::close(fd);
  expectSourceUnchanged();
}

TEST_F(CopyBackTest, AReadOnlyFileOfTheSchoolIsNotReplaced) {
  prepareStaged();
  fs::permissions(host("C:\\OB\\horgrup.dbf"),
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  try {
    CopiarHorariosAlOrigen("C:\\OB");
    FAIL() << "the copy back should have failed";
  } catch (const IoError& e) {
    EXPECT_EQ(e.code(), 5);
    EXPECT_THAT(std::string(e.what()), HasSubstr("Acceso al archivo denegado: C:\\OB\\horgrup.dbf"));
  }
  fs::permissions(host("C:\\OB\\horgrup.dbf"), fs::perms::owner_write, fs::perm_options::add);
  expectSourceUnchanged();
}

TEST_F(CopyBackTest, AReadOnlySourceFolderLeavesTheSchoolsFilesAsTheyWere) {
  prepareStaged();
  fs::permissions(root(), fs::perms::all, fs::perm_options::replace);
  for (auto& e : fs::recursive_directory_iterator(host("C:\\KTEMP")))
    fs::permissions(e.path(), e.is_directory() ? fs::perms::all : fs::perms::all & ~fs::perms::others_exec);
  fs::permissions(host("C:\\OB\\horgrup.dbf"), fs::perms::all & ~fs::perms::others_exec);
  fs::permissions(host("C:\\OB\\horprof.dbf"), fs::perms::all & ~fs::perms::others_exec);
  fs::permissions(host("C:\\OB"), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                      fs::perms::group_exec | fs::perms::others_read |
                                      fs::perms::others_exec);
  // The superuser writes in any folder: the copy back then runs as nobody.
  const bool root = ::geteuid() == 0;
  std::string result = inChild([root] {
    if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0))
      return std::string("skip:cannot become nobody");
    CopiarHorariosAlOrigen("C:\\OB");
    return std::string("ok");
  });
  if (result.rfind("skip:", 0) == 0) GTEST_SKIP() << "read-only folder not testable here: " << result;
  EXPECT_THAT(result, HasSubstr("error:Acceso al archivo denegado"));
  EXPECT_THAT(result, HasSubstr("no se han modificado"));
  expectSourceUnchanged();
}

TEST_F(CopyBackTest, AMissingHorprofStopsTheRunBeforeAnyWindow) {
  fs::remove(host("C:\\OB\\horprof.dbf"));
  try {
    runImport();
    FAIL() << "the run should have failed";
  } catch (const Error& e) {
    EXPECT_THAT(std::string(e.what()), HasSubstr("No se encuentra el archivo C:\\OB\\horprof.dbf"));
  }
  EXPECT_EQ(ui.teacherChecks + ui.templateChecks, 0);
  EXPECT_EQ(bytes("C:\\OB\\horgrup.dbf"), horgrup);
  EXPECT_FALSE(fs::exists(host("C:\\OB\\horprof.dbf")));
  EXPECT_FALSE(ui.busy);
}

TEST_F(CopyBackTest, TheStagingFolderIsRefusedAsSourceWhateverItsSpelling) {
  prepareStaged();
  fs::create_directory_symlink(host("C:\\KTEMP\\VAVOVIDI"), root() / "OTRA");
  const std::string staged = bytes("C:\\KTEMP\\VAVOVIDI\\horgrup.dbf");
  for (const char* folder : {"C:\\KTEMP\\VAVOVIDI", "c:\\ktemp\\vavovidi\\", "C:/KTEMP/Vavovidi",
                             "C:\\KTEMP\\.\\VAVOVIDI", "C:\\OTRA"}) {
    SCOPED_TRACE(folder);
    ScriptedUi fresh;
    TransferContext other{tables, fresh, folder, "46001", "VALENCIÁ"};
    try {
      BImportarClick(other);
      ADD_FAILURE() << "the run should have failed";
    } catch (const Error& e) {
      EXPECT_THAT(std::string(e.what()), HasSubstr("es la carpeta de trabajo C:\\KTEMP\\VAVOVIDI"));
    }
    EXPECT_FALSE(fresh.busy);
    EXPECT_EQ(fresh.teacherChecks + fresh.templateChecks, 0);
    EXPECT_EQ(bytes("C:\\KTEMP\\VAVOVIDI\\horgrup.dbf"), staged);
  }
  expectSourceUnchanged();
}

}  // namespace
}  // namespace pasarela::test
