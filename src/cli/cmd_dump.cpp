#include <cstdio>

#include "cli/command.h"

namespace pasarela::cli {

// Not built yet.
int dumpCommand(const Args&) {
  std::fputs("pasarela: 'dump' is not available yet\n", stderr);
  return 2;
}

}  // namespace pasarela::cli
