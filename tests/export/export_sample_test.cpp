// The whole export through `pasarela export` on the bundled sample school,
// its outputs read back by dbfread and recomputed from the staged school
// tables by check_export.py.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "export_support.h"
#include "support/process.h"

namespace pasarela::test {
namespace {

namespace fs = std::filesystem;

std::string pasarela() { return builtProgram(std::string(PASARELA_BINARY_DIR) + "/src/pasarela").string(); }

class ExportSampleTest : public ExportTest {
 protected:
  // Runs pasarela with drive C on the test's temporary drive.
  int run(std::vector<std::string> arguments, std::string* output) {
    arguments.insert(arguments.begin(), pasarela());
    RunOptions options;
    options.environment = {{"PASARELA_DRIVE_C", driveC().string()}};
    const RunResult r = runProcess(arguments, options);
    *output = r.output;
    return r.started && !r.timedOut ? r.exitCode : -1;
  }

  void writeSample(const std::vector<std::string>& extra = {}) {
    fs::remove_all(driveC() / "OB");
    std::string output;
    std::vector<std::string> arguments{"sample", (driveC() / "OB").string()};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    ASSERT_EQ(run(arguments, &output), 0) << output;
  }
};

TEST_F(ExportSampleTest, SampleSchoolExportFollowsTheRules) {
  writeSample();
  std::string printed;
  ASSERT_EQ(run({"export"}, &printed), 0) << printed;
  checkAgainstRules("VALENCIÁ");

  EXPECT_NE(printed.find("La duración de este Proceso será más larga"), std::string::npos) << printed;
  EXPECT_NE(printed.find("Proceso finalizado"), std::string::npos) << printed;
  // One count line per interchange table, matching what dbfread reads.
  for (const char* table :
       {"ASIGVALT", "ASIGNOMT", "PROFT", "AULAT", "ALUMNOST", "ASIGCURT", "GRUPOST", "CURSOST", "ASIGT"}) {
    const std::size_t records = output(table).size();
    EXPECT_GT(records, 0u) << table;
    const std::string line = "C:\\KTEMP\\" + std::string(table) + ".DBF: " + std::to_string(records) +
                             (records == 1 ? " registro" : " registros");
    EXPECT_NE(printed.find(line), std::string::npos) << line << "\n" << printed;
  }
}

TEST_F(ExportSampleTest, CastilianNamesFromTheLanguageOption) {
  writeSample({"--scale", "1", "--seed", "7"});
  std::string output;
  // A host folder on the command line is taken as its drive path.
  ASSERT_EQ(run({"export", "--lang", "CASTELLANO", "--source", (driveC() / "OB").string()}, &output), 0)
      << output;
  checkAgainstRules("CASTELLANO");
}

TEST_F(ExportSampleTest, MissingSchoolTablesPrintTheErrorAndFail) {
  fs::create_directories(driveC() / "EMPTY");
  std::string output;
  EXPECT_NE(run({"export", "--source", "C:\\EMPTY"}, &output), 0);
  EXPECT_NE(output.find("asignat"), std::string::npos) << output;
  EXPECT_EQ(output.find("Proceso finalizado"), std::string::npos) << output;
}

TEST_F(ExportSampleTest, BadArgumentsPointToTheUsage) {
  std::string output;
  EXPECT_EQ(run({"export", "--bogus"}, &output), 2);
  EXPECT_NE(output.find("opción desconocida '--bogus'"), std::string::npos) << output;
  EXPECT_NE(output.find("Pruebe 'pasarela export --help'."), std::string::npos) << output;
}

}  // namespace
}  // namespace pasarela::test
