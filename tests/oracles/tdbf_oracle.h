// Runs the TDbf checker (tests/oracles/tdbf_oracle.pas) from a test and
// returns what it prints. Link the test with `pasarela_tdbf_oracle`.
//
//   if (!tdbfOracleAvailable()) GTEST_SKIP() << "fpc missing";
//   auto tags = runTdbfOracle({"tags", dbfPath});
//   auto order = runTdbfOracle({"iterate", dbfPath, "COD"});  // record numbers
//   auto rows = runTdbfOracle({"iterate", dbfPath, "-", "fields"});  // physical order
//
// See the head of tdbf_oracle.pas for its commands. TDbf's numeric keys
// compare 0 after positive values below 0.1 (a defect of its BCD compare):
// tests must not iterate or search numeric tags holding both.
#pragma once

#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "support/process.h"

#ifndef PASARELA_TDBF_ORACLE
#define PASARELA_TDBF_ORACLE ""
#endif

namespace pasarela::test {

inline bool tdbfOracleAvailable() {
  return std::string_view(PASARELA_TDBF_ORACLE).size() > 0 && std::filesystem::exists(PASARELA_TDBF_ORACLE);
}

// Output lines of one run; throws std::runtime_error with the checker's
// message when it fails. A run is stopped after two minutes: TDbf loops for
// ever on some malformed trees (an interior node holding the maximum keys).
inline std::vector<std::string> runTdbfOracle(const std::vector<std::string>& args) {
  std::vector<std::string> argv{PASARELA_TDBF_ORACLE};
  argv.insert(argv.end(), args.begin(), args.end());
  RunOptions options;
  options.mergeErrors = false;
  options.timeoutSeconds = 120;
  const RunResult r = runProcess(argv, options);
  if (r.timedOut) throw std::runtime_error("tdbf_oracle timed out: " + r.describe());
  if (!r.ok()) throw std::runtime_error("tdbf_oracle failed: " + r.errors + r.describe());
  std::vector<std::string> lines;
  std::istringstream in(r.output);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// True when TDbf would misorder numeric keys holding these values: its BCD
// compare puts 0 after positive values below 0.1. A test iterating or
// searching a numeric tag through TDbf should avoid such values.
inline bool tdbfMisordersNumbers(const std::vector<double>& values) {
  bool zero = false, smallPositive = false;
  for (double v : values) {
    zero = zero || v == 0;
    smallPositive = smallPositive || (v > 0 && v < 0.1);
  }
  return zero && smallPositive;
}

inline std::string toHex(std::string_view bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string h;
  for (unsigned char c : bytes) {
    h += digits[c >> 4];
    h += digits[c & 15];
  }
  return h;
}

}  // namespace pasarela::test
