// The sample school read by independent dBase readers, and written by the
// command line.
#include <fstream>
#include <map>
#include <sstream>

#include "sample_fixture.h"
#include "support/process.h"
#include "support/readers.h"

namespace pasarela {
namespace {

using test::SampleTest;

// Runs a program and returns its standard output and error; the exit
// status in `status`.
std::string run(const std::vector<std::string>& argv, int& status) {
  const test::RunResult r = test::runProcess(argv);
  status = r.started && !r.timedOut ? r.exitCode : -1;
  return r.output;
}

// Prints "file records" per table, then the first student with notes as
// "code|name|notes" with line breaks written as \n.
const char* kDbfreadScript = R"PY(
import sys, os, dbfread
folder = sys.argv[1]
for name in sorted(os.listdir(folder)):
    if name.endswith('.dbf'):
        t = dbfread.DBF(os.path.join(folder, name), load=True)
        print(name, len(t.records))
a = dbfread.DBF(os.path.join(folder, 'alumnos.dbf'), load=True)
assert a.encoding == 'cp1252', a.encoding
r = next(r for r in a.records if r['OBS'] and any(ord(c) > 127 for c in r['APENOM']))
print('student|%s|%s|%s' % (r['CODIGO'], r['APENOM'], r['OBS'].replace('\r', '\\r').replace('\n', '\\n')))
)PY";

const char* kDbfScript = R"PY(
import sys, os, dbf
folder = sys.argv[1]
for name in ('alumnos.dbf', 'profesor.dbf', 'asignat.dbf', 'horgrup.dbf'):
    t = dbf.Table(os.path.join(folder, name))
    t.open()
    memos = sum(1 for r in t if 'obs' in t.field_names and r.obs.strip())
    print(name, len(t), memos)
    t.close()
)PY";

std::string writeScript(const std::filesystem::path& folder, const char* name, const char* text) {
  const std::filesystem::path p = folder / name;
  std::ofstream(p) << text;
  return p.string();
}

TEST_F(SampleTest, DbfreadReadsEveryTableAndTheStudentsMemos) {
  PASARELA_SKIP_IF_MISSING(test::pythonMissing("dbfread"));
  const sample::SampleCounts counts = sample::writeSampleSchool("C:\\OB", {});
  int status = 0;
  const std::string script = writeScript(root_, "read.py", kDbfreadScript);
  const std::string out = run({test::kPython, script, (root_ / "OB").string()}, status);
  ASSERT_EQ(status, 0) << out;
  std::istringstream lines(out);
  std::string line;
  std::map<std::string, std::size_t> read;
  std::string student;
  while (std::getline(lines, line)) {
    if (line.rfind("student|", 0) == 0) {
      student = line.substr(8);
      continue;
    }
    std::istringstream words(line);
    std::string file;
    std::size_t n = 0;
    words >> file >> n;
    read[file] = n;
  }
  for (const auto& [file, n] : counts) EXPECT_EQ(read[file], n) << file;
  // The same student through the table engine: name and memo agree.
  const std::string code = student.substr(0, student.find('|'));
  ASSERT_FALSE(code.empty()) << out;
  bool found = false;
  forEach("C:\\OB", "alumnos", [&](Table& t) {
    if (t.asString("Codigo") != code) return;
    found = true;
    std::string notes = t.asString("OBS");
    std::string escaped;
    for (char c : notes)
      escaped += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    EXPECT_EQ(code + "|" + t.asString("Apenom") + "|" + escaped, student);
  });
  EXPECT_TRUE(found);
}

TEST_F(SampleTest, PythonDbfOpensTheFoxProAndDbaseTables) {
  PASARELA_SKIP_IF_MISSING(test::pythonMissing("dbf"));
  const sample::SampleCounts counts = sample::writeSampleSchool("C:\\OB", {});
  int status = 0;
  const std::string script = writeScript(root_, "read.py", kDbfScript);
  const std::string out = run({test::kPython, script, (root_ / "OB").string()}, status);
  ASSERT_EQ(status, 0) << out;
  std::istringstream lines(out);
  std::string file;
  std::size_t n = 0, memos = 0;
  int tables = 0;
  while (lines >> file >> n >> memos) {
    ++tables;
    EXPECT_EQ(n, count(counts, file)) << file;
    if (file == "alumnos.dbf") {
      EXPECT_GT(memos, 100u);
    }
  }
  EXPECT_EQ(tables, 4) << out;
}

TEST_F(SampleTest, CommandLineWritesIntoAHostFolder) {
  const std::string program = test::builtProgram(std::string(PASARELA_BINARY_DIR) + "/src/pasarela").string();
  const std::filesystem::path folder = root_ / "escola";
  int status = 0;
  const std::string out = run({program, "sample", folder.string(), "--seed", "9"}, status);
  ASSERT_EQ(status, 0) << out;
  EXPECT_NE(out.find("alumnos.dbf"), std::string::npos) << out;
  for (const char* file : {"asignat.dbf", "alumnos.dbf", "alumnos.fpt", "horgrup.dbf", "lhortipo.dbf"})
    EXPECT_TRUE(std::filesystem::exists(folder / file)) << file;
  run({program, "sample", folder.string(), "--scale"}, status);
  EXPECT_EQ(status, 2);
  run({program, "sample", folder.string(), "--scale", "abc"}, status);
  EXPECT_EQ(status, 2);  // a bad value is a usage mistake
  run({program, "sample"}, status);
  EXPECT_EQ(status, 2);
}

}  // namespace
}  // namespace pasarela
