// Runs the independent readers and writers (tests/dbase/oracle.py with the
// system's python3-dbf and python3-dbfread, tests/dbase/oracle.pl with Perl's
// XBase) and renders tables in the same text form through our table object.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

#include "data/table.h"
#include "data/winpath.h"

namespace pasarela::test {

inline std::string shellQuote(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

// Standard output of a command; "exit N" appended when it fails.
inline std::string run(const std::string& command) {
  std::string out;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return "cannot run " + command;
  char buf[4096];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int status = pclose(p);
  if (status != 0) out += "exit " + std::to_string(status);
  return out;
}

inline std::string oracleDir() { return std::string(PASARELA_SOURCE_DIR) + "/tests/dbase/"; }

inline std::string python(const std::string& args) {
  return run("/usr/bin/python3 " + shellQuote(oracleDir() + "oracle.py") + " " + args);
}

inline std::string perl(const std::string& args) {
  return run("/usr/bin/perl " + shellQuote(oracleDir() + "oracle.pl") + " " + args);
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
