// A temporary drive C: and the built `pasarela` run on it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/drive_c.h"
#include "support/run_program.h"

namespace pasarela::test {

class CliTest : public DriveCTest {
 protected:
  static ProgramResult pasarela(const std::vector<std::string>& args) {
    return runProgram(PASARELA_PROGRAM, args);
  }

  // sample, export and solve on C:\OB, each of which must succeed.
  void exportedSchoolWithSolution() {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"sample", "C:\\OB"}, {"export"}, {"solve"}}) {
      const ProgramResult r = pasarela(args);
      ASSERT_EQ(r.exitCode, 0) << args[0] << ": " << r.err;
    }
  }

  // Standard output of an independent reader (python3 with dbfread).
  static std::string python(const std::string& script, const std::vector<std::string>& args = {}) {
    std::vector<std::string> all = {"-c", script};
    all.insert(all.end(), args.begin(), args.end());
    const ProgramResult r = runProgram("/usr/bin/python3", all);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return r.out;
  }
};

}  // namespace pasarela::test
