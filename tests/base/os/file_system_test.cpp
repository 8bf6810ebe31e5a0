// Whole-file operations of the OS layer: replacing, linking, copying and
// the checks made before the school's files are replaced.
#include "base/os/file_system.h"

#include <gtest/gtest.h>

#include "base/os/fault_injection.h"
#include "base/os/io_code.h"
#include "base/os/system.h"
#include "support/temp_folder.h"

namespace pasarela::os {
namespace {

using test::TempFolder;

std::size_t entries(const std::filesystem::path& dir) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(ReplaceFile, PutsTheNewFileInPlaceInOneStep) {
  TempFolder dir;
  TempFolder::write(dir / "horgrup.dbf", "old");
  TempFolder::write(dir / "nuevo", "new");
  ASSERT_TRUE(replaceFile(dir / "nuevo", dir / "horgrup.dbf").ok());
  EXPECT_EQ(TempFolder::read(dir / "horgrup.dbf"), "new");
  EXPECT_EQ(entries(dir.path()), 1u);
  EXPECT_EQ(replaceFile(dir / "nuevo", dir / "horgrup.dbf").code, kErrorFileNotFound);
  EXPECT_EQ(TempFolder::read(dir / "horgrup.dbf"), "new");
}

TEST(WriteReplacing, WritesEveryPieceAndKeepsNoScratchFile) {
  TempFolder dir;
  ASSERT_TRUE(writeReplacing(dir / "Tempolis.ini", {"[Transformadores]\r\n", "Transformado=1\r\n"}).ok());
  EXPECT_EQ(TempFolder::read(dir / "Tempolis.ini"), "[Transformadores]\r\nTransformado=1\r\n");
  ASSERT_TRUE(writeReplacing(dir / "Tempolis.ini", {"x"}, Durability::Cached).ok());
  EXPECT_EQ(TempFolder::read(dir / "Tempolis.ini"), "x");
  EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(WriteReplacing, AFailureAnywhereLeavesTheFileAsItWas) {
  for (testing::Call failing : {testing::Call::Open, testing::Call::Write, testing::Call::Sync,
                                testing::Call::Close, testing::Call::Replace}) {
    SCOPED_TRACE(static_cast<int>(failing));
    TempFolder dir;
    TempFolder::write(dir / "AULAT.MDX", "the old index");
    testing::ScopedFaultHook hook([&](testing::Call call, const std::filesystem::path&) {
      return call == failing ? kErrorDiskFull : 0;
    });
    EXPECT_EQ(writeReplacing(dir / "AULAT.MDX", {"a new", " index"}).code, kErrorDiskFull);
    EXPECT_EQ(TempFolder::read(dir / "AULAT.MDX"), "the old index");
    EXPECT_EQ(entries(dir.path()), 1u);
  }
}

TEST(LinkOrCopy, GivesTheFileASecondNameWithTheSameBytes) {
  TempFolder dir;
  TempFolder::write(dir / "horprof.dbf", "timetable");
  ASSERT_TRUE(linkOrCopy(dir / "horprof.dbf", dir / "horprof.anterior").ok());
  EXPECT_EQ(TempFolder::read(dir / "horprof.anterior"), "timetable");
  // Replacing the first name leaves the second with the old bytes.
  TempFolder::write(dir / "nuevo", "new");
  ASSERT_TRUE(replaceFile(dir / "nuevo", dir / "horprof.dbf").ok());
  EXPECT_EQ(TempFolder::read(dir / "horprof.anterior"), "timetable");
  EXPECT_NE(linkOrCopy(dir / "horprof.dbf", dir / "horprof.anterior").code, 0);  // taken
  EXPECT_EQ(linkOrCopy(dir / "falta.dbf", dir / "otro").code, kErrorFileNotFound);
}

TEST(CopyDurably, CopiesWholeFilesOfAnySize) {
  TempFolder dir;
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{(1 << 20) + 3}}) {
    SCOPED_TRACE(size);
    std::string content(size, '\0');
    for (std::size_t i = 0; i < size; ++i) content[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    TempFolder::write(dir / "a", content);
    TempFolder::write(dir / "b", "longer stale bytes that must go");
    ASSERT_TRUE(copyDurably(dir / "a", dir / "b").ok());
    EXPECT_TRUE(TempFolder::read(dir / "b") == content);
  }
}

TEST(ProbeReplaceable, RefusesFilesHeldOrReadOnly) {
  TempFolder dir;
  const auto file = dir / "horgrup.dbf";
  TempFolder::write(file, "x");
  EXPECT_TRUE(probeReplaceable(file).ok());
  EXPECT_EQ(probeReplaceable(dir / "falta.dbf").code, kErrorFileNotFound);
  {
    File holder;
    ASSERT_TRUE(File::open(file, Access::ReadWrite, Create::Existing, Share::Exclusive, holder).ok());
    EXPECT_EQ(probeReplaceable(file).code, kErrorSharingViolation);
  }
  std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  EXPECT_EQ(probeReplaceable(file).code, kErrorAccessDenied);
}

TEST(HeldExclusivelyElsewhere, SeesAnExclusiveOpenOnly) {
  TempFolder dir;
  const auto file = dir / "grupos.dbf";
  TempFolder::write(file, "x");
  EXPECT_FALSE(heldExclusivelyElsewhere(file));
  EXPECT_FALSE(heldExclusivelyElsewhere(dir / "falta.dbf"));
  File shared;
  ASSERT_TRUE(File::open(file, Access::ReadWrite, Create::Existing, Share::Shared, shared).ok());
  EXPECT_FALSE(heldExclusivelyElsewhere(file));
  shared = File();
  File exclusive;
  ASSERT_TRUE(File::open(file, Access::ReadWrite, Create::Existing, Share::Exclusive, exclusive).ok());
  // Windows refuses the other open itself and answers false; elsewhere the
  // lock is seen.
  if (!hasNativeDrives()) {
    EXPECT_TRUE(heldExclusivelyElsewhere(file));
  }
}

}  // namespace
}  // namespace pasarela::os
