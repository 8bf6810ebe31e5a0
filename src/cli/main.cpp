// `pasarela`: the transfers without windows. Everything but the process
// entry lives in dispatch.cpp.
#include <string>
#include <vector>

#include "base/os/system.h"
#include "cli/dispatch.h"

int main(int argc, char** argv) {
  // UTF-8 arguments and output bytes as written, on every host.
  pasarela::os::prepareConsole();
  pasarela::os::keepFreedMemory();
  const std::vector<std::string> words = pasarela::os::commandLine(argc, argv);
  return pasarela::cli::run(pasarela::cli::Args(words.begin() + (words.empty() ? 0 : 1), words.end()));
}
