#include <cstdio>

#include "cli/command.h"

namespace pasarela::cli {

// Not built yet.
int importCommand(const Args&) {
  std::fputs("pasarela: 'import' is not available yet\n", stderr);
  return 2;
}

}  // namespace pasarela::cli
