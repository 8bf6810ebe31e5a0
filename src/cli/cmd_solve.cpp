#include <cstdio>

#include "cli/command.h"

namespace pasarela::cli {

// Not built yet.
int solveCommand(const Args&) {
  std::fputs("pasarela: 'solve' is not available yet\n", stderr);
  return 2;
}

}  // namespace pasarela::cli
