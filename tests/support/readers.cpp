#include "support/readers.h"

#include <map>

#include "support/process.h"

namespace pasarela::test {

namespace {

// Each probe runs once per test program.
std::string probe(const std::string& key, const std::vector<std::string>& argv) {
  static std::map<std::string, std::string> known;
  if (const auto it = known.find(key); it != known.end()) return it->second;
  std::string why;
  if (hostIsWindows()) {
    why = argv[0] + " is a Linux program and cannot run from the Windows build";
  } else {
    const RunResult r = runProcess(argv);
    if (!r.ok()) why = key + " is not available here: " + r.describe();
  }
  return known[key] = why;
}

}  // namespace

std::string pythonMissing(const std::string& modules) {
  std::string imports = "import sys";
  std::string word;
  for (const char c : modules + " ") {
    if (c != ' ') {
      word += c;
    } else if (!word.empty()) {
      imports += "; import " + word;
      word.clear();
    }
  }
  return probe("python3 " + modules, {kPython, "-c", imports});
}

std::string perlMissing() { return probe("perl XBase", {kPerl, "-MXBase", "-e", "1"}); }

}  // namespace pasarela::test
