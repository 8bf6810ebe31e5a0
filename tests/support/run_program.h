// Runs a program with its arguments, as a user's shell would, and keeps
// what it wrote to each stream and its exit code apart.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace pasarela::test {

struct ProgramResult {
  int exitCode = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

inline std::string quoteForShell(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

inline std::string readWholeFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The environment is the test's own (PASARELA_DRIVE_C included).
inline ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args) {
  char tmpl[] = "/tmp/pasarela-run-XXXXXX";
  const std::filesystem::path dir = mkdtemp(tmpl);
  std::string command = quoteForShell(program);
  for (const std::string& a : args) command += " " + quoteForShell(a);
  command +=
      " </dev/null >" + quoteForShell((dir / "out").string()) + " 2>" + quoteForShell((dir / "err").string());
  ProgramResult r;
  const int status = std::system(command.c_str());
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.out = readWholeFile(dir / "out");
  r.err = readWholeFile(dir / "err");
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  return r;
}

}  // namespace pasarela::test
