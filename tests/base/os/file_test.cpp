// Open files of the OS layer: sharing, reading and writing at offsets, and
// identity, as the table engine and the file copy rely on them.
#include "base/os/file.h"

#include <gtest/gtest.h>

#include "base/os/fault_injection.h"
#include "base/os/io_code.h"
#include "support/temp_folder.h"

namespace pasarela::os {
namespace {

using test::TempFolder;

Status openFile(const std::filesystem::path& p, Access a, Share s, File& f, Create c = Create::Existing) {
  return File::open(p, a, c, s, f);
}

class FileTest : public ::testing::Test {
 protected:
  TempFolder dir;
  std::filesystem::path table = dir / "AULAT.DBF";
  void SetUp() override { TempFolder::write(table, "0123456789"); }
};

TEST_F(FileTest, ExclusiveUseShutsOutEveryOtherOpenUntilClosed) {
  File holder;
  ASSERT_TRUE(openFile(table, Access::ReadWrite, Share::Exclusive, holder).ok());
  File other;
  EXPECT_EQ(openFile(table, Access::ReadWrite, Share::Shared, other).code, kErrorSharingViolation);
  EXPECT_EQ(openFile(table, Access::Read, Share::Shared, other).code, kErrorSharingViolation);
  EXPECT_EQ(openFile(table, Access::ReadWrite, Share::Exclusive, other).code, kErrorSharingViolation);
  // Emptying a file in use elsewhere is refused before anything changes.
  EXPECT_EQ(openFile(table, Access::ReadWrite, Share::Shared, other, Create::Truncate).code,
            kErrorSharingViolation);
  EXPECT_EQ(TempFolder::read(table), "0123456789");
  EXPECT_FALSE(other.isOpen());
  EXPECT_TRUE(holder.close().ok());
  EXPECT_TRUE(openFile(table, Access::ReadWrite, Share::Exclusive, other).ok());
}

TEST_F(FileTest, SharedUseAdmitsSharersButNoExclusiveUser) {
  File a, b, c;
  ASSERT_TRUE(openFile(table, Access::ReadWrite, Share::Shared, a).ok());
  EXPECT_TRUE(openFile(table, Access::ReadWrite, Share::Shared, b).ok());
  EXPECT_EQ(openFile(table, Access::ReadWrite, Share::Exclusive, c).code, kErrorSharingViolation);
  EXPECT_FALSE(a.heldExclusivelyElsewhere());
}

TEST_F(FileTest, MovingAFileKeepsItsSharing) {
  File a;
  ASSERT_TRUE(openFile(table, Access::ReadWrite, Share::Exclusive, a).ok());
  File moved = std::move(a);
  EXPECT_FALSE(a.isOpen());  // NOLINT(bugprone-use-after-move): moved-from state is part of the contract
  File other;
  EXPECT_EQ(openFile(table, Access::Read, Share::Shared, other).code, kErrorSharingViolation);
  moved = File();
  EXPECT_TRUE(openFile(table, Access::Read, Share::Shared, other).ok());
}

TEST_F(FileTest, MissingFilesFoldersAndFoldersAsFilesGiveTheSystemsCodes) {
  File f;
  EXPECT_EQ(openFile(dir / "NADA.DBF", Access::Read, Share::Shared, f).code, kErrorFileNotFound);
  EXPECT_EQ(openFile(dir / "FALTA" / "NADA.DBF", Access::Read, Share::Shared, f).code, kErrorPathNotFound);
  EXPECT_EQ(openFile(dir / "FALTA" / "NUEVO.DBF", Access::ReadWrite, Share::Shared, f, Create::OrCreate).code,
            kErrorPathNotFound);
  std::filesystem::create_directory(dir / "CARPETA");
  EXPECT_EQ(openFile(dir / "CARPETA", Access::Read, Share::Shared, f).code, kErrorFileNotFound);
  EXPECT_NE(openFile(table, Access::ReadWrite, Share::Unlocked, f, Create::New).code, 0);
  EXPECT_EQ(TempFolder::read(table), "0123456789");
}

TEST_F(FileTest, BytesGoInAndOutUnchangedAtAnyOffset) {
  // Line ends and the end-of-file mark are data like any other byte.
  const std::string record = std::string(
                                 "A\nB\r\nC\x1A"
                                 "D\0E",
                                 10) +
                             "\xFF\x80";
  File f;
  ASSERT_TRUE(openFile(table, Access::ReadWrite, Share::Exclusive, f).ok());
  ASSERT_TRUE(f.writeAt(20, record.data(), record.size()).ok());  // past the end: a gap of zeros
  std::uint64_t size = 0;
  ASSERT_TRUE(f.size(size).ok());
  EXPECT_EQ(size, 20 + record.size());
  std::string back(record.size() + 8, '?');
  std::size_t done = 0;
  ASSERT_TRUE(f.readAt(20, back.data(), back.size(), done).ok());
  EXPECT_EQ(done, record.size());  // short only at the end
  EXPECT_EQ(back.substr(0, done), record);
  ASSERT_TRUE(f.close().ok());
  EXPECT_EQ(TempFolder::read(table), std::string("0123456789") + std::string(10, '\0') + record);
}

TEST_F(FileTest, TruncateAndTruncatingOpenCutTheFile) {
  File f;
  ASSERT_TRUE(openFile(table, Access::ReadWrite, Share::Exclusive, f).ok());
  ASSERT_TRUE(f.truncate(4).ok());
  ASSERT_TRUE(f.sync().ok());
  ASSERT_TRUE(f.close().ok());
  EXPECT_EQ(TempFolder::read(table), "0123");
  ASSERT_TRUE(openFile(table, Access::ReadWrite, Share::Exclusive, f, Create::Truncate).ok());
  std::uint64_t size = 99;
  ASSERT_TRUE(f.size(size).ok());
  EXPECT_EQ(size, 0u);
}

TEST_F(FileTest, TwoOpensOfOneFileShareAnIdentityOthersDoNot) {
  // Two tables of one folder must never be taken for one file.
  TempFolder::write(dir / "PROFT.DBF", "0123456789");
  File a, b, c;
  ASSERT_TRUE(openFile(table, Access::Read, Share::Shared, a).ok());
  ASSERT_TRUE(openFile(table, Access::Read, Share::Shared, b).ok());
  ASSERT_TRUE(openFile(dir / "PROFT.DBF", Access::Read, Share::Shared, c).ok());
  FileId ia, ib, ic;
  ASSERT_TRUE(a.id(ia).ok());
  ASSERT_TRUE(b.id(ib).ok());
  ASSERT_TRUE(c.id(ic).ok());
  EXPECT_EQ(ia, ib);
  EXPECT_NE(ia, ic);
}

TEST_F(FileTest, TheMappedHeadIsTheFilesBytes) {
  File f;
  ASSERT_TRUE(openFile(table, Access::ReadWrite, Share::Shared, f).ok());
  char* head = f.mapHead(8);
  if (!head) GTEST_SKIP() << "this host cannot map the file";
  head[1] = 'X';
  File reader;
  ASSERT_TRUE(openFile(table, Access::Read, Share::Shared, reader).ok());
  char c = 0;
  std::size_t done = 0;
  ASSERT_TRUE(reader.readAt(1, &c, 1, done).ok());
  EXPECT_EQ(c, 'X');
  ASSERT_TRUE(f.close().ok());
  EXPECT_EQ(TempFolder::read(table), "0X23456789");
  File readOnly;
  ASSERT_TRUE(openFile(table, Access::Read, Share::Shared, readOnly).ok());
  EXPECT_EQ(readOnly.mapHead(8), nullptr);  // writing needs write access
  EXPECT_EQ(readOnly.mapHead(64), nullptr);
}

TEST_F(FileTest, InjectedFaultsFailTheCallAndChangeNothing) {
  File f;
  ASSERT_TRUE(openFile(table, Access::ReadWrite, Share::Exclusive, f).ok());
  {
    testing::ScopedFaultHook hook([&](testing::Call call, const std::filesystem::path& p) {
      return call == testing::Call::Write && p == table ? kErrorDiskFull : 0;
    });
    EXPECT_EQ(f.writeAt(0, "zz", 2).code, kErrorDiskFull);
  }
  EXPECT_TRUE(f.writeAt(0, "ab", 2).ok());
  ASSERT_TRUE(f.close().ok());
  EXPECT_EQ(TempFolder::read(table), "ab23456789");
}

}  // namespace
}  // namespace pasarela::os
