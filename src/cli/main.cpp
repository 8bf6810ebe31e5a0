#include <cstdio>
#include <cstring>
#include <exception>

#include "cli/command.h"
#include "base/error.h"

namespace {

void usage() {
  std::fputs(
      "usage: pasarela COMMAND [ARGS]\n"
      "  dump FILE [--format table|csv|json] [--index TAG] [--header]\n"
      "  export [--source DIR] [--lang TEXT]\n"
      "  import [--source DIR] [--centre CODE] [--dry-run]\n"
      "  sample DIR [--scale N] [--seed N]\n"
      "  solve [--seed N]\n",
      stderr);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace pasarela::cli;
  if (argc < 2) {
    usage();
    return 2;
  }
  Args args(argv + 2, argv + argc);
  const char* cmd = argv[1];
  try {
    if (!std::strcmp(cmd, "dump")) return dumpCommand(args);
    if (!std::strcmp(cmd, "export")) return exportCommand(args);
    if (!std::strcmp(cmd, "import")) return importCommand(args);
    if (!std::strcmp(cmd, "sample")) return sampleCommand(args);
    if (!std::strcmp(cmd, "solve")) return solveCommand(args);
  } catch (const pasarela::Error& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", e.what());
    return 1;
  }
  usage();
  return 2;
}
