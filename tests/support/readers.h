// The independent readers and writers the tests compare with: Debian's
// python3 modules, Perl's XBase and Free Pascal's TDbf checker. They are
// Linux programs; where they cannot run (the Windows build under Wine) the
// tests that need them skip and say why.
#pragma once

#include <string>

namespace pasarela::test {

// Empty when /usr/bin/python3 runs here and imports every module named
// (space-separated, e.g. "dbf dbfread"); otherwise why not.
std::string pythonMissing(const std::string& modules = "");
// Empty when /usr/bin/perl runs here with XBase.
std::string perlMissing();

// True on the Windows build: Linux programs cannot be started from it.
bool hostIsWindows();

inline const char* kPython = "/usr/bin/python3";
inline const char* kPerl = "/usr/bin/perl";

}  // namespace pasarela::test

// Skips the running test when `reason` (one of the above) is not empty.
#define PASARELA_SKIP_IF_MISSING(reason)                                                             \
  do {                                                                                               \
    if (const std::string pasarelaWhy = (reason); !pasarelaWhy.empty()) GTEST_SKIP() << pasarelaWhy; \
  } while (0)
