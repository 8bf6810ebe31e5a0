#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/os/system.h"
#include "cli/command.h"

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
  // UTF-8 arguments and output bytes as written, on every host.
  pasarela::os::prepareConsole();
  std::vector<std::string> arguments = pasarela::os::commandLine(argc, argv);
  std::vector<char*> utf8Argv;
  for (std::string& a : arguments) utf8Argv.push_back(a.data());
  utf8Argv.push_back(nullptr);
  argc = static_cast<int>(arguments.size());
  argv = utf8Argv.data();
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
