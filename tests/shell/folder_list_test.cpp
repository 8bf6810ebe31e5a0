// The folder list and the drive list over the drive map: walking the tree,
// the current folder as a full Windows path, and the change event on
// double-click, Enter, a drive change and a change made by the program.
#include <QSignalSpy>
#include <QTest>

#include "base/error.h"
#include "shell_test_support.h"
#include "widgets/folder_list.h"

using pasarela::widgets::DriveList;
using pasarela::widgets::FolderList;
using shelltest::ShellTest;

namespace {

class Folders : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    std::filesystem::create_directories(driveC_ / "OB" / "Curso2024");
    std::filesystem::create_directories(driveC_ / "OB" / "antiguo");
    driveD_ = root_ / "d";
    std::filesystem::create_directories(driveD_ / "Datos");
    ::setenv("PASARELA_DRIVE_D", driveD_.c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("PASARELA_DRIVE_D");
    ShellTest::TearDown();
  }

  static int rowOf(const FolderList& list, const std::string& path) {
    for (int r = 0; r < list.count(); ++r)
      if (list.entryPath(r) == path) return r;
    return -1;
  }

  std::filesystem::path driveD_;
};

}  // namespace

TEST_F(Folders, ShowsThePathLevelsAndTheSubfoldersAsWindowsPaths) {
  FolderList list;
  list.setInitialDirectory("c:\\ob");
  EXPECT_EQ(list.directory(), "C:\\OB");  // spelled as on disk
  ASSERT_EQ(list.count(), 4);
  EXPECT_EQ(list.entryPath(0), "C:\\");
  EXPECT_EQ(list.entryPath(1), "C:\\OB");
  EXPECT_EQ(list.entryPath(2), "C:\\OB\\antiguo");  // subfolders sorted without regard to case
  EXPECT_EQ(list.entryPath(3), "C:\\OB\\Curso2024");
  EXPECT_EQ(list.currentRow(), 1);
}

TEST_F(Folders, DoubleClickAndEnterChangeTheFolderASingleClickOnlySelects) {
  FolderList list;
  list.setInitialDirectory("C:\\OB");
  list.show();
  QSignalSpy changed(&list, &FolderList::directoryChanged);

  const QRect cell = list.visualItemRect(list.item(rowOf(list, "C:\\OB\\Curso2024")));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(list.directory(), "C:\\OB");

  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(list.directory(), "C:\\OB\\Curso2024");

  list.setCurrentRow(rowOf(list, "C:\\"));
  QTest::keyClick(&list, Qt::Key_Return);
  EXPECT_EQ(changed.count(), 2);
  EXPECT_EQ(list.directory(), "C:\\");
}

TEST_F(Folders, TheProgramsChangeRaisesTheEventOnlyForAnotherFolder) {
  FolderList list;
  list.setInitialDirectory("C:\\OB");
  QSignalSpy changed(&list, &FolderList::directoryChanged);
  list.setDirectory("C:\\ob");
  EXPECT_EQ(changed.count(), 0);
  list.setDirectory("C:\\OB\\antiguo");
  EXPECT_EQ(changed.count(), 1);
  try {
    list.setDirectory("C:\\NOESTA");
    FAIL() << "a missing folder was accepted";
  } catch (const pasarela::IoError& e) {
    EXPECT_EQ(e.code(), 3);
  }
  EXPECT_EQ(list.directory(), "C:\\OB\\antiguo");
  EXPECT_EQ(changed.count(), 1);
}

TEST_F(Folders, DriveListFollowsTheFolderListAndMovesIt) {
  FolderList list;
  list.setInitialDirectory("C:\\OB");
  DriveList drives;
  drives.setFolderList(&list);
  EXPECT_EQ(drives.drive(), 'C');
  ASSERT_GE(drives.findData(QChar('D')), 0);

  QSignalSpy changed(&list, &FolderList::directoryChanged);
  drives.setCurrentIndex(drives.findData(QChar('D')));
  EXPECT_EQ(list.directory(), "D:\\");
  EXPECT_EQ(changed.count(), 1);
  // Back on C: the list returns to the folder it had there.
  drives.setCurrentIndex(drives.findData(QChar('C')));
  EXPECT_EQ(list.directory(), "C:\\OB");
  // A change of folder onto another drive switches the drive list first.
  list.setDirectory("D:\\Datos");
  EXPECT_EQ(drives.drive(), 'D');
  EXPECT_EQ(changed.count(), 3);
}

TEST_F(Folders, TheMainWindowStagesAgainWhenTheFolderChanges) {
  pasarela::shell::TExportarDatos w({});
  w.FormCreate();
  boxes_.clear();
  shelltest::writeFile(driveC_ / "OB" / "antiguo" / "centro.dbf", "not a table");
  w.ListaDirectorios->setDirectory("C:\\OB\\antiguo");
  EXPECT_EQ(w.EdNuevoDir->text(), QStringLiteral("C:\\OB\\antiguo"));
  EXPECT_EQ(shelltest::readFile(driveC_ / "KTEMP" / "VAVOVIDI" / "centro.dbf"), "not a table");
  // The centres are read again from the new folder: none from a bad table.
  EXPECT_EQ(w.CBCentro->count(), 0);
  EXPECT_FALSE(errors().empty());
}
