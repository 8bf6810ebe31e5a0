// Commands that would replace what may be a school's or the generator's
// files refuse unless told --force, and leave those files byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "cli_fixture.h"

namespace pasarela::test {
namespace {

TEST_F(CliTest, SampleRefusesAFolderThatHoldsTables) {
  // A school's table, in the upper case an old program may have used.
  put("OB/PROFESOR.DBF", "los datos de un centro");
  const ProgramResult r = pasarela({"sample", "C:\\OB"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("C:\\OB\\profesor.dbf"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--force"), std::string::npos) << r.err;
  EXPECT_TRUE(holds("OB/PROFESOR.DBF", "los datos de un centro"));
  EXPECT_FALSE(exists("OB/asignat.dbf"));

  const ProgramResult forced = pasarela({"sample", "C:\\OB", "--force"});
  EXPECT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_NE(get("OB/PROFESOR.DBF"), "los datos de un centro");
  EXPECT_TRUE(exists("OB/asignat.dbf"));
}

TEST_F(CliTest, SampleWritesIntoAFolderWithOtherFiles) {
  put("OB/LEEME.TXT", "notas");
  EXPECT_EQ(pasarela({"sample", "C:\\OB"}).exitCode, 0);
  EXPECT_TRUE(holds("OB/LEEME.TXT", "notas"));
}

TEST_F(CliTest, SolveRefusesToReplaceASolution) {
  ASSERT_EQ(pasarela({"sample", "C:\\OB"}).exitCode, 0);
  ASSERT_EQ(pasarela({"export"}).exitCode, 0);
  put("KTEMP/soluc.dbf", "la solución del generador");
  const ProgramResult r = pasarela({"solve", "--seed", "7"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("C:\\KTEMP\\SOLUC.DBF"), std::string::npos) << r.err;
  EXPECT_TRUE(holds("KTEMP/soluc.dbf", "la solución del generador"));

  const ProgramResult forced = pasarela({"solve", "--seed", "7", "--force"});
  EXPECT_EQ(forced.exitCode, 0) << forced.err;
  const std::string rows =
      python("import dbfread,sys\nprint(len(dbfread.DBF(sys.argv[1])))", {host("KTEMP/soluc.dbf").string()});
  EXPECT_GT(std::stoi(rows), 0);
}

}  // namespace
}  // namespace pasarela::test
