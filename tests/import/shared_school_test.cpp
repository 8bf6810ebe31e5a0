// Two machines import into one school folder on a shared drive, each with
// its own C:\KTEMP and its own solution, at the same time: the school ends
// with the pair of one run (or the second run refuses), never horgrup from
// one solution beside horprof from the other.
#include <gtest/gtest.h>

#include <future>

#include "import_fixture.h"
#include "support/process.h"

namespace pasarela::test {
namespace {

namespace fs = std::filesystem;

const std::string kPasarela = builtProgram(std::string(PASARELA_BINARY_DIR) + "/src/pasarela").string();

class SharedSchoolTest : public ImportTest {
 protected:
  // A run of the program on one machine: its drive C:, the shared S:.
  RunResult on(const fs::path& driveC, const std::vector<std::string>& args) {
    std::vector<std::string> argv{kPasarela};
    argv.insert(argv.end(), args.begin(), args.end());
    RunOptions options;
    options.environment = {{"PASARELA_DRIVE_C", driveC.string()}, {"PASARELA_DRIVE_S", shared.string()}};
    options.timeoutSeconds = 300;
    return runProcess(argv, options);
  }
  // (day, slot) of every placed session, in order: what both tables of one
  // run repeat row by row.
  std::vector<std::string> placed(const ReadBack& t, const char* day, const char* slot) {
    std::vector<std::string> out;
    for (auto& r : t.rows)
      if (r.at(day) != "0") out.push_back(r.at(day) + "/" + r.at(slot));
    return out;
  }
  fs::path shared;
};

TEST_F(SharedSchoolTest, TwoMachinesImportingAtOnceLeaveThePairOfOneRun) {
  shared = root() / "shared";
  const fs::path machineB = root() / "machineB";
  fs::create_directories(shared);
  fs::create_directories(machineB);
  ASSERT_TRUE(on(root(), {"sample", "S:\\OB"}).ok());
  for (const fs::path& machine : {root(), machineB}) {
    RunResult r = on(machine, {"export", "--source", "S:\\OB"});
    ASSERT_TRUE(r.ok()) << r.describe();
  }
  ASSERT_TRUE(on(root(), {"solve", "--seed", "7"}).ok());
  ASSERT_TRUE(on(machineB, {"solve", "--seed", "8"}).ok());
  const auto solutionA = placed(readBack("C:\\KTEMP\\SOLUC.DBF"), "DIA", "HORA");
  const fs::path solucB = machineB / fs::relative(host("C:\\KTEMP\\SOLUC.DBF"), root());
  fs::copy_file(solucB, root() / "solucB.dbf");
  const auto solutionB = placed(readBack("C:\\solucB.dbf"), "DIA", "HORA");
  ASSERT_NE(solutionA, solutionB) << "the two solutions must be told apart";

  auto a = std::async(std::launch::async, [&] { return on(root(), {"import", "--source", "S:\\OB"}); });
  auto b = std::async(std::launch::async, [&] { return on(machineB, {"import", "--source", "S:\\OB"}); });
  int completed = 0;
  for (RunResult r : {a.get(), b.get()}) {
    const bool refused = r.exitCode == 1 && r.output.find("otra transferencia") != std::string::npos;
    EXPECT_TRUE(r.ok() || refused) << r.describe();
    completed += r.ok();
  }
  EXPECT_GE(completed, 1);

  fs::copy_file(shared / "OB" / "horgrup.dbf", root() / "grup.dbf");
  fs::copy_file(shared / "OB" / "horprof.dbf", root() / "prof.dbf");
  const auto grup = placed(readBack("C:\\grup.dbf"), "DIASEM", "NUMHORA");
  const auto prof = placed(readBack("C:\\prof.dbf"), "DIASEM", "NUMHORA");
  EXPECT_EQ(grup, prof) << "horgrup and horprof from two runs";
  EXPECT_TRUE(grup == solutionA || grup == solutionB) << "a timetable of neither solution";
}

}  // namespace
}  // namespace pasarela::test
