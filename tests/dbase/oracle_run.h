// Runs the independent readers and writers (tests/dbase/oracle.py with the
// system's python3-dbf and python3-dbfread, tests/dbase/oracle.pl with Perl's
// XBase) and renders tables in the same text form through our table object.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "data/table.h"
#include "data/winpath.h"
#include "support/process.h"
#include "support/readers.h"

namespace pasarela::test {

// Standard output and error of a reader; "exit N" appended when it fails.
inline std::string run(const std::vector<std::string>& argv) {
  const RunResult r = runProcess(argv);
  return r.ok() ? r.output : r.output + r.describe();
}

inline std::string oracleDir() { return std::string(PASARELA_SOURCE_DIR) + "/tests/dbase/"; }

inline std::string python(std::vector<std::string> args) {
  args.insert(args.begin(), {kPython, oracleDir() + "oracle.py"});
  return run(args);
}

inline std::string perl(std::vector<std::string> args) {
  args.insert(args.begin(), {kPerl, oracleDir() + "oracle.pl"});
  return run(args);
}

// The live records as our table object reads them, in the oracles' form.
inline std::string render(Table& t) {
  std::string out;
  for (int i = 0; i < t.fieldCount(); ++i) out += (i ? "|" : "") + t.fieldInfo(i).name;
  out += "\n";
  for (t.first(); !t.eof(); t.next()) {
    for (int i = 0; i < t.fieldCount(); ++i) {
      std::string v = t.asString(i);
      std::string escaped;
      for (std::size_t k = 0; k < v.size(); ++k) {
        if (v[k] == '\r' && k + 1 < v.size() && v[k + 1] == '\n') continue;
        if (v[k] == '\n')
          escaped += "\\n";
        else
          escaped += v[k];
      }
      out += (i ? "|" : "") + escaped;
    }
    out += "\n";
  }
  return out;
}

inline std::string renderFile(const std::filesystem::path& host) {
  Table t;
  t.setTableName(winpath::fromHost(host));
  t.open();
  return render(t);
}

}  // namespace pasarela::test
