#include <cstdio>

#include "cli/command.h"

namespace pasarela::cli {

// Not built yet.
int exportCommand(const Args&) {
  std::fputs("pasarela: 'export' is not available yet\n", stderr);
  return 2;
}

}  // namespace pasarela::cli
