// Subcommands of `pasarela`. Each lives in a file of its own with its
// grammar (`xSyntax`) and its run (`xCommand`); `args` are the words after the
// subcommand's name. A run returns the process's exit code, throws
// UsageError for a mistake on the command line and lets pasarela::Error
// escape to the dispatcher, which prints its message.
#pragma once

#include "cli/options.h"

namespace pasarela::cli {

// Exit codes, the same for every command.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // the run failed; the reason is on stderr
inline constexpr int kExitUsage = 2;    // unknown command or option, missing or bad value

const CommandSyntax& dumpSyntax();
const CommandSyntax& exportSyntax();
const CommandSyntax& importSyntax();
const CommandSyntax& sampleSyntax();
const CommandSyntax& solveSyntax();

int dumpCommand(const Args& args);
int exportCommand(const Args& args);
int importCommand(const Args& args);
int sampleCommand(const Args& args);
int solveCommand(const Args& args);  // writes a plausible SOLUC.DBF

}  // namespace pasarela::cli
