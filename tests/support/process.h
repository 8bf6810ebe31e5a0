// Runs a program with an explicit argument list and environment, on Linux
// and on Windows alike: no shell, so no quoting rules to get wrong, and the
// program's own bytes come back unchanged.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace pasarela::test {

struct RunOptions {
  // Variables set (or replaced) for the child on top of the test's own.
  std::vector<std::pair<std::string, std::string>> environment;
  // Written to the child's standard input, which is then closed.
  std::string input;
  // Standard error goes to `output` with standard output, as "2>&1" would.
  bool mergeErrors = true;
  // The child is killed after this many seconds; 0 waits for ever.
  int timeoutSeconds = 0;
};

struct RunResult {
  bool started = false;  // false: the program could not be started at all
  bool timedOut = false;
  int exitCode = -1;  // -1 when killed by a signal or not started
  std::string output;
  std::string errors;  // standard error when not merged

  bool ok() const { return started && !timedOut && exitCode == 0; }
  // What a failure message should show.
  std::string describe() const;
};

// argv[0] is the program: an absolute path, or a bare name looked up in PATH.
RunResult runProcess(const std::vector<std::string>& argv, const RunOptions& options = {});

// The path of a program built beside the tests, as the system names it
// ("pasarela" here, "pasarela.exe" on Windows).
std::filesystem::path builtProgram(const std::filesystem::path& withoutSuffix);

}  // namespace pasarela::test
