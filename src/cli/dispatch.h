// The whole of `pasarela` but the process entry: picks the command, answers
// --help and --version, and turns every failure into its message on stderr
// and its exit code.
#pragma once

#include "cli/options.h"

namespace pasarela::cli {

// `args` are the words after the program's name, in UTF-8.
int run(const Args& args);

}  // namespace pasarela::cli
