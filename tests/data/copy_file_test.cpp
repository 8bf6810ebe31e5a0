// CopiarArchivo on a temporary drive C:, on both systems.
#include <filesystem>
#include <fstream>
#include <memory>

#include "base/error.h"
#include "base/os/fault_injection.h"
#include "base/os/file.h"
#include "data/staging.h"
#include "support/drive_c.h"

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

// Holds a file through its own open, as another program would: Exclusive
// shuts every other open out, Shared admits sharers.
class HeldLock {
 public:
  HeldLock(const std::filesystem::path& path, bool exclusive) {
    locked_ = os::File::open(path, os::Access::ReadWrite, os::Create::Existing,
                             exclusive ? os::Share::Exclusive : os::Share::Shared, file_)
                  .ok();
  }
  bool locked() const { return locked_; }

 private:
  os::File file_;
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
  expectIoError("C:\\KTEMP\\VAVOVIDI\\grupos.dbf", "C:\\OB\\grupos.dbf", 3,
                "Nombre de archivo inválido: 'C:\\KTEMP\\VAVOVIDI\\grupos.dbf'");
}

// A read-only school table is only read: the copy is made.
TEST_F(CopyFileTest, ReadOnlySourceIsCopied) {
  put("OB/grupos.dbf", "grupos");
  put("KTEMP/VAVOVIDI/grupos.dbf", "old copy");
  const std::filesystem::path source = host("OB/grupos.dbf");
  namespace fs = std::filesystem;
  fs::permissions(source, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  CopiarArchivo("C:\\KTEMP\\VAVOVIDI\\grupos.dbf", "C:\\OB\\grupos.dbf");
  EXPECT_EQ(get("KTEMP/VAVOVIDI/grupos.dbf"), "grupos");
  fs::permissions(source, fs::perms::owner_write, fs::perm_options::add);
  fs::permissions(host("KTEMP/VAVOVIDI/grupos.dbf"), fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(CopyFileTest, SourceInExclusiveUseIsASharingViolation) {
  put("OB/grupos.dbf", pattern(5000));
  put("KTEMP/VAVOVIDI/grupos.dbf", "old copy");
  HeldLock lock(host("OB/grupos.dbf"), true);
  ASSERT_TRUE(lock.locked());
  expectIoError("C:\\KTEMP\\VAVOVIDI\\grupos.dbf", "C:\\OB\\grupos.dbf", 32,
                "Error de E/S 32: 'C:\\OB\\grupos.dbf' (el archivo está en uso por otro programa)");
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
  {
    HeldLock lock(host("KTEMP/VAVOVIDI/horgrup.dbf"), true);
    ASSERT_TRUE(lock.locked());
    expectIoError(
        "C:\\KTEMP\\VAVOVIDI\\horgrup.dbf", "C:\\OB\\horgrup.dbf", 32,
        "Error de E/S 32: 'C:\\KTEMP\\VAVOVIDI\\horgrup.dbf' (el archivo está en uso por otro programa)");
  }
  // Read once released: on Windows the holder shuts this read out as well.
  EXPECT_EQ(get("KTEMP/VAVOVIDI/horgrup.dbf"), "held by another program");
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
  expectIoError("C:\\OB\\horgrup.dbf", "C:\\KTEMP\\VAVOVIDI\\horgrup.dbf", 29,
                "Error de E/S 29: 'C:\\OB\\horgrup.dbf' (error de escritura en el disco)");
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
  expectIoError("C:\\OB\\horgrup.dbf", "C:\\KTEMP\\VAVOVIDI\\horgrup.dbf", 5,
                "Acceso al archivo denegado: 'C:\\OB\\horgrup.dbf'");
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

}  // namespace
}  // namespace pasarela
