// `pasarela`: the transfers without windows. Everything but the process
// entry lives in dispatch.cpp.
#include "cli/dispatch.h"

int main(int argc, char** argv) { return pasarela::cli::run(pasarela::cli::Args(argv + 1, argv + argc)); }
