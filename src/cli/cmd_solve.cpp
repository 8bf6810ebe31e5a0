#include <cstdio>
#include <string>

#include "cli/command.h"
#include "base/error.h"
#include "sample/fake_solution.h"

namespace pasarela::cli {

// Plays the timetable generator: C:\KTEMP\SOLUC.DBF from the exported tables.
int solveCommand(const Args& args) {
  sample::FakeSolutionOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--seed" && i + 1 < args.size()) {
      try {
        options.seed = static_cast<unsigned>(std::stoul(args[++i]));
      } catch (const std::exception&) {
        throw Error("--seed: '" + args[i] + "' is not a number");
      }
    } else {
      std::fputs("usage: pasarela solve [--seed N]\n", stderr);
      return 2;
    }
  }
  sample::FakeSolutionSummary summary = sample::writeFakeSolution(options);
  std::printf("C:\\KTEMP\\SOLUC.DBF: %ld lessons, %ld placed, %ld left unplaced (DIA 0)\n", summary.rows,
              summary.rows - summary.unplaced, summary.unplaced);
  return 0;
}

}  // namespace pasarela::cli
