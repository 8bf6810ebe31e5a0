// The transfer lock: refused while another run (another open of the lock
// file: another process or machine) holds the folder, shared by the steps
// of one run in this process, and taken by the staging, which the window
// runs at start-up and on each change of folder.
#include <gtest/gtest.h>

#include "base/error.h"
#include "base/os/file.h"
#include "data/staging.h"
#include "data/transfer_lock.h"
#include "support/drive_c.h"

namespace pasarela {
namespace {

class TransferLockTest : public test::DriveCTest {
 protected:
  void SetUp() override {
    test::DriveCTest::SetUp();
    put("KTEMP/VAVOVIDI/grupos.dbf", "staged by the other run");
    put("OB/grupos.dbf", "the school's grupos");
  }
  // Another run's hold on a folder's lock file.
  os::File otherRun(const std::string& relative) {
    os::File f;
    EXPECT_TRUE(os::File::open(host(relative + "/PASARELA.BLQ"), os::Access::ReadWrite, os::Create::OrCreate,
                               os::Share::Exclusive, f)
                    .ok());
    return f;
  }
  bool othersCanTake(const std::string& relative) {
    os::File f;
    return os::File::open(host(relative + "/PASARELA.BLQ"), os::Access::ReadWrite, os::Create::OrCreate,
                          os::Share::Exclusive, f)
        .ok();
  }
};

TEST_F(TransferLockTest, AnotherRunsLockIsRefusedNamingTheFolder) {
  os::File other = otherRun("KTEMP");
  try {
    TransferLock lock("C:\\KTEMP");
    FAIL() << "taken twice";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("otra transferencia"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("carpeta C:\\KTEMP:"), std::string::npos) << e.what();
  }
}

TEST_F(TransferLockTest, TheStepsOfOneRunShareItsLockUntilTheLastLetsGo) {
  {
    TransferLock run("C:\\KTEMP");
    {
      TransferLock step("c:\\ktemp");  // the staging inside the run
      EXPECT_FALSE(othersCanTake("KTEMP"));
    }
    EXPECT_FALSE(othersCanTake("KTEMP")) << "the run still holds it";
  }
  EXPECT_TRUE(othersCanTake("KTEMP"));
}

TEST_F(TransferLockTest, StagingWhileAnotherRunHoldsTheInterchangeFolderTouchesNothing) {
  os::File other = otherRun("KTEMP");
  SchoolTables tables;
  EXPECT_THROW(CopiarDatosOrigen(tables, "C:\\OB"), Error);
  EXPECT_TRUE(holds("KTEMP/VAVOVIDI/grupos.dbf", "staged by the other run"));
  other = os::File();
  CopiarDatosOrigen(tables, "C:\\OB");
  EXPECT_TRUE(holds("KTEMP/VAVOVIDI/grupos.dbf", "the school's grupos"));
}

}  // namespace
}  // namespace pasarela
