// Subcommands of `pasarela`. Each lives in a file of its own; `args` are the
// words after the subcommand's name. They return the process's exit code and
// let pasarela::Error escape to main, which prints its message.
#pragma once

#include <string>
#include <vector>

namespace pasarela::cli {

using Args = std::vector<std::string>;

int dumpCommand(const Args& args);
int exportCommand(const Args& args);
int importCommand(const Args& args);
int sampleCommand(const Args& args);
int solveCommand(const Args& args);  // writes a plausible SOLUC.DBF

}  // namespace pasarela::cli
