// A second transfer while another holds C:\KTEMP (here: this test process
// holding the lock file, as another run of the program would) refuses at
// once: nothing staged, nothing exported or imported.
#include <gtest/gtest.h>

#include <string>

#include "base/os/file.h"
#include "cli_fixture.h"

namespace pasarela::test {
namespace {

class LockedInterchangeTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    ASSERT_EQ(pasarela({"sample", "C:\\OB"}).exitCode, 0);
    // What the other run staged and is reading.
    put("KTEMP/VAVOVIDI/grupos.dbf", "staged by the other run");
    put("KTEMP/VAVOVIDI/horgrup.dbf", "staged by the other run");
    ASSERT_TRUE(os::File::open(host("KTEMP/PASARELA.BLQ"), os::Access::ReadWrite, os::Create::OrCreate,
                               os::Share::Exclusive, otherRun_)
                    .ok());
  }
  void expectRefusedTouchingNothing(const ProgramResult& r) {
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_NE(r.err.find("otra transferencia"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("C:\\KTEMP"), std::string::npos) << r.err;
    EXPECT_TRUE(holds("KTEMP/VAVOVIDI/grupos.dbf", "staged by the other run"));
    EXPECT_TRUE(holds("KTEMP/VAVOVIDI/horgrup.dbf", "staged by the other run"));
    EXPECT_FALSE(exists("KTEMP/VAVOVIDI/profesor.dbf"));
  }
  os::File otherRun_;
};

TEST_F(LockedInterchangeTest, ExportRefusesBeforeStaging) {
  expectRefusedTouchingNothing(pasarela({"export"}));
  EXPECT_FALSE(exists("KTEMP/ASIGVALT.DBF"));
}

TEST_F(LockedInterchangeTest, ImportRefusesBeforeStaging) {
  put("KTEMP/SOLUC.DBF", "a solution");
  const std::string horgrup = get("OB/horgrup.dbf");
  expectRefusedTouchingNothing(pasarela({"import"}));
  EXPECT_TRUE(holds("OB/horgrup.dbf", horgrup));
}

TEST_F(LockedInterchangeTest, TheRunGoesOnceTheOtherHasEnded) {
  otherRun_ = os::File();
  const ProgramResult r = pasarela({"export"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_FALSE(holds("KTEMP/VAVOVIDI/grupos.dbf", "staged by the other run"));
}

}  // namespace
}  // namespace pasarela::test
