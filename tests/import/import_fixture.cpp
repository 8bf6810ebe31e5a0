#include "import_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "data/table.h"
#include "data/winpath.h"
#include "import/copy_back.h"
#include "support/proft_writer.h"
#include "sample/fake_solution.h"
#include "support/process.h"
#include "support/readers.h"

namespace pasarela::test {

namespace fs = std::filesystem;

void ScriptedUi::notice(const std::string& text) {
  events.push_back("notice:" + text);
  notices.push_back(text);
}
void ScriptedUi::error(const std::string& text) { events.push_back("error:" + text); }
void ScriptedUi::busyCursor() {
  events.push_back("busy");
  busy = true;
}
void ScriptedUi::normalCursor() {
  events.push_back("normal");
  busy = false;
}
void ScriptedUi::showTeacherCheck() {
  events.push_back("teacherCheck");
  ++teacherChecks;
  busyDuringWindows.push_back(busy);
  if (onTeacherCheck) onTeacherCheck();
}
void ScriptedUi::showTemplateCheck() {
  events.push_back("templateCheck");
  ++templateChecks;
  busyDuringWindows.push_back(busy);
  if (onTemplateCheck) onTemplateCheck();
}
void ScriptedUi::closeMainWindow() {
  events.push_back("close");
  closed = true;
}

std::string runCommand(const std::vector<std::string>& argv, int* status, const std::string& input) {
  RunOptions options;
  options.input = input;
  const RunResult r = runProcess(argv, options);
  if (status) *status = r.started && !r.timedOut ? r.exitCode : -1;
  return r.output;
}

namespace {

std::string json(const std::string& s) {
  std::string q = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') q += '\\';
    q += c;
  }
  return q + "\"";
}

const std::string kTool = std::string(PASARELA_SOURCE_DIR) + "/tests/import/dbf_tool.py";

}  // namespace

void ImportTest::SetUp() {
  // The school's tables are written, and the results read back, by
  // python3-dbf and dbfread.
  PASARELA_SKIP_IF_MISSING(pythonMissing("dbf dbfread"));
  drive_ = std::make_unique<TemporaryDriveC>("pasarela-import-");
  root_ = drive_->root();
  fs::create_directories(root_ / "OB");
  fs::create_directories(root_ / "KTEMP");
  // The staged centro table the window read its centre list from: the run's
  // centre (46001) is one of its codes.
  fs::create_directories(root_ / "KTEMP" / "VAVOVIDI");
  Table centro;
  centro.setTableName("C:\\KTEMP\\VAVOVIDI\\centro.dbf");
  centro.createTable({{"CODCEN", FieldKind::Integer, 0}});
  centro.open();
  centro.append();
  centro.setInteger("CODCEN", 46001);
  centro.post();
  centro.close();
}

void ImportTest::TearDown() {
  tables.closeAll();
  std::error_code ec;
  // Folders a test made read-only must be writable again to be removed.
  for (auto it = fs::recursive_directory_iterator(root_, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (it->is_directory(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  drive_.reset();
}

fs::path ImportTest::host(const std::string& windowsPath) const { return winpath::resolve(windowsPath); }

std::string ImportTest::bytes(const std::string& windowsPath) const {
  std::ifstream in(host(windowsPath), std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void ImportTest::writeProft(const std::vector<Teacher>& teachers) {
  std::vector<ProftRow> rows;
  for (const Teacher& x : teachers) rows.push_back({x.abrev, x.nombre, "DEP", x.dni});
  test::writeProft(rows);
}

void ImportTest::writeAsigvalt(const std::vector<Subject>& subjects) {
  Table t;
  t.setDatabaseName("C:\\KTEMP");
  t.setTableName("ASIGVALT.DBF");
  t.createTable({{"COD", FieldKind::String, 4},
                 {"CODLARGO", FieldKind::String, 8},
                 {"NOMBRE", FieldKind::String, 40},
                 {"CODVALEN", FieldKind::String, 10},
                 {"NHORAS", FieldKind::Float, 0},
                 {"NIVEL", FieldKind::String, 5},
                 {"CURSO", FieldKind::String, 3}},
                {"COD", "CODVALEN"});
  t.open();
  for (const Subject& s : subjects) {
    t.append();
    t.setString("COD", s.cod);
    t.setString("CODLARGO", s.cod);
    t.setString("NOMBRE", "Asignatura " + s.codvalen);
    t.setString("CODVALEN", s.codvalen);
    t.setFloat("NHORAS", 3);
    t.setString("NIVEL", s.nivel);
    t.setString("CURSO", s.curso);
    t.post();
  }
  t.close();
}

void ImportTest::writeSoluc(const std::vector<SolucRow>& rows) {
  std::vector<sample::SolutionRow> out;
  for (const SolucRow& r : rows)
    out.push_back({r.dia, r.hora, r.aula, r.prof, r.nivel, r.curso, r.asig, r.grupo});
  sample::writeSolutionTable("C:\\KTEMP\\SOLUC.DBF", out);
}

void ImportTest::makeTable(const std::string& windowsPath, const std::string& layout,
                           const std::string& jsonRows, const std::string& codepage) {
  fs::path file = host(windowsPath);
  int status = -1;
  std::string out =
      runCommand({kPython, kTool, "make", file.string(), layout, codepage}, &status, jsonRows + "\n");
  ASSERT_EQ(status, 0) << out;
}

void ImportTest::writeSchoolTimetables(int oldRows) {
  std::string g = "[", p = "[";
  for (int i = 0; i < oldRows; ++i) {
    if (i) g += ",", p += ",";
    g += "[\"1ESOA\",\"1ESOOLD\",99,1," + std::to_string(i + 1) +
         ",\"07:00\",\"07:55\",46001,\"A1\",\"año viejo\"]";
    p += "[99,1," + std::to_string(i + 1) + ",\"07:00\",\"07:55\",\"A1\",46001,\"X\",\"año viejo\"]";
  }
  g += "]", p += "]";
  makeTable("C:\\OB\\horgrup.dbf",
            "CODGRUP C(5); CODASIG C(8); DNI N(10,0); DIASEM N(2,0); NUMHORA N(2,0); HORDIADES C(5); "
            "HORDIAHAS C(5); CODCEN N(8,0); AULAGRUP C(5); OBSERV C(20)",
            g);
  makeTable("C:\\OB\\horprof.dbf",
            "DNI N(10,0); DIASEM N(2,0); NUMHORA N(2,0); HORAD C(5); HORAH C(5); OCUPA C(5); CODCEN N(8,0); "
            "TIPO C(1); OBSERV C(20)",
            p);
}

void ImportTest::writeLhortipo(const std::vector<SlotLine>& lines) {
  std::string rows = "[";
  for (const SlotLine& l : lines) {
    if (rows.size() > 1) rows += ",";
    rows += "[" + json(l.codcen) + "," + std::to_string(l.numhora) + "," + json(l.desde) + "," +
            json(l.hasta) + "]";
  }
  rows += "]";
  makeTable("C:\\OB\\lhortipo.dbf", "CODCEN C(8); NUMHORA N(3,0); DESDE C(8); HASTA C(8)", rows);
  // The import reads the staged copies, as the window stages them at
  // start-up: the template lines and the centres the run checks its centre
  // against.
  fs::create_directories(host("C:\\KTEMP") / "VAVOVIDI");
  fs::copy_file(host("C:\\OB\\lhortipo.dbf"), host("C:\\KTEMP\\VAVOVIDI") / "lhortipo.dbf",
                fs::copy_options::overwrite_existing);
  std::error_code ec;
  if (fs::exists(host("C:\\OB\\centro.dbf"), ec)) {
    fs::copy_file(host("C:\\OB\\centro.dbf"), host("C:\\KTEMP\\VAVOVIDI") / "centro.dbf",
                  fs::copy_options::overwrite_existing);
  }
}

ReadBack ImportTest::readBack(const std::string& windowsPath) const {
  ReadBack r;
  int status = -1;
  std::string out = runCommand({kPython, kTool, "read", host(windowsPath).string()}, &status);
  EXPECT_EQ(status, 0) << out;
  std::istringstream lines(out);
  std::string line;
  auto split = [](const std::string& s) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(s);
    while (std::getline(in, part, '\t')) parts.push_back(part);
    if (!s.empty() && s.back() == '\t') parts.push_back("");
    return parts;
  };
  if (!std::getline(lines, line)) return r;
  r.fields = split(line);
  while (std::getline(lines, line)) {
    if (line.rfind("LDID ", 0) == 0) {
      r.ldid = std::stoi(line.substr(5));
    } else if (line.rfind("TYPES ", 0) == 0) {
      r.types = line.substr(6);
    } else {
      auto values = split(line);
      std::map<std::string, std::string> row;
      for (size_t i = 0; i < r.fields.size(); ++i) row[r.fields[i]] = i < values.size() ? values[i] : "";
      r.rows.push_back(std::move(row));
    }
  }
  return r;
}

void ImportTest::writeSmallSchool() {
  writeSchoolTimetables();
  makeTable("C:\\OB\\centro.dbf", "CODCEN N(8,0); LITCEN C(45)", "[[46001,\"IES Prueba\"]]");
  // The window stages it at start-up; the import takes its centre from it.
  fs::create_directories(host("C:\\KTEMP") / "VAVOVIDI");
  fs::copy_file(host("C:\\OB\\centro.dbf"), host("C:\\KTEMP\\VAVOVIDI") / "centro.dbf",
                fs::copy_options::overwrite_existing);
  writeLhortipo(
      {{"46001", 1, "08:00", "08:55"}, {"46001", 2, "08:55", "09:50"}, {"46001", 20, "20:00", "20:55"}});
  writeProft({{"GPJ", "GARCIA PEREZ JUAN", 11111111}, {"AB", "ALONSO BLASCO", 22222222}});
  writeAsigvalt({{"MAT", "1ESOMAT", "ESO", "1"}, {"LEN", "1ESOLEN", "ESO", "1"}});
  writeSoluc({{1, 1, "A1", "GPJ", "ESO", "1", "MAT", "A"}, {2, 2, "A2", "AB", "ESO", "1", "LEN", "B"}});
}

void ImportTest::runImport(const ImportOptions& options) {
  ImportOptions o = options;
  o.report = &report;
  BImportarClick(ctx, o);
}

}  // namespace pasarela::test
