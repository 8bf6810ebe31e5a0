#include <cstdio>

#include "cli/command.h"

namespace pasarela::cli {

// Not built yet.
int sampleCommand(const Args&) {
  std::fputs("pasarela: 'sample' is not available yet\n", stderr);
  return 2;
}

}  // namespace pasarela::cli
