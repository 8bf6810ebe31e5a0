// The mark of a complete interchange set: written whole or not at all, and
// a failure is the system's I/O code naming C:\KTEMP\PASARELA.EXP.
#include <gtest/gtest.h>

#include "base/error.h"
#include "base/os/fault_injection.h"
#include "data/interchange_set.h"
#include "support/drive_c.h"

namespace pasarela {
namespace {

class InterchangeSetTest : public test::DriveCTest {
 protected:
  void SetUp() override {
    test::DriveCTest::SetUp();
    put("KTEMP/ASIGVALT.DBF", "a table");
  }
  // Fails every call of the OS layer on the mark (or its scratch file) of kind `call`.
  static os::testing::FaultHook failing(os::testing::Call which, int code) {
    return [which, code](os::testing::Call call, const std::filesystem::path& path) {
      return call == which && path.filename().string().find("PASARELA.EXP") != std::string::npos ? code : 0;
    };
  }
};

TEST_F(InterchangeSetTest, TheMarkSaysWhetherTheLastExportFinished) {
  EXPECT_FALSE(interchangeIncomplete()) << "no mark: tables from an earlier version";
  markInterchangeIncomplete();
  EXPECT_TRUE(interchangeIncomplete());
  EXPECT_TRUE(holds("KTEMP/PASARELA.EXP", "EXPORTACION INCOMPLETA\r\n"));
  markInterchangeComplete();
  EXPECT_FALSE(interchangeIncomplete());
  EXPECT_TRUE(holds("KTEMP/PASARELA.EXP", "EXPORTACION COMPLETA\r\n"));
  put("KTEMP/PASARELA.EXP", "");
  EXPECT_TRUE(interchangeIncomplete()) << "an empty mark is no complete set";
}

TEST_F(InterchangeSetTest, AFullDiskLeavesThePreviousMarkAndSaysSo) {
  markInterchangeComplete();
  for (auto call : {os::testing::Call::Open, os::testing::Call::Write, os::testing::Call::Replace}) {
    os::testing::ScopedFaultHook hook(failing(call, 101));
    try {
      markInterchangeIncomplete();
      ADD_FAILURE() << "the mark was written through a failing call " << static_cast<int>(call);
    } catch (const IoError& e) {
      EXPECT_EQ(e.code(), 101);
      EXPECT_EQ(std::string(e.what()).rfind("Disco lleno: C:\\KTEMP\\PASARELA.EXP", 0), 0u) << e.what();
    }
  }
  EXPECT_TRUE(holds("KTEMP/PASARELA.EXP", "EXPORTACION COMPLETA\r\n"));
}

TEST_F(InterchangeSetTest, AMarkThatCannotBeReadIsAnErrorNotACompleteSet) {
  markInterchangeIncomplete();
  os::testing::ScopedFaultHook hook(failing(os::testing::Call::Read, 5));
  try {
    interchangeIncomplete();
    FAIL() << "a read error taken for an answer";
  } catch (const IoError& e) {
    EXPECT_EQ(e.code(), 5);
    EXPECT_NE(std::string(e.what()).find("C:\\KTEMP\\PASARELA.EXP"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace pasarela
