#include "export_support.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "support/drive_c.h"
#include "support/process.h"
#include "support/readers.h"

namespace pasarela::test {

namespace fs = std::filesystem;

namespace {

std::string scriptPath(const std::string& name) {
  return std::string(PASARELA_SOURCE_DIR) + "/tests/export/" + name;
}

std::string jsonString(const std::string& text) {
  std::string json = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned char>(c));
      json += buffer;
    } else {
      json += c;
    }
  }
  return json + "\"";
}

std::vector<std::string> splitTabs(const std::string& line) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\t') {
      parts.emplace_back();
    } else if (c == '\\' && i + 1 < line.size()) {
      const char e = line[++i];
      parts.back() += e == 't' ? '\t' : e == 'n' ? '\n' : e;
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

// The temporary drive C of the process, removed when the process ends.
std::unique_ptr<TemporaryDriveC>& processDrive() {
  static std::unique_ptr<TemporaryDriveC> drive;
  return drive;
}

}  // namespace

Value::Value(const char* text) : json(jsonString(text)) {}

Value::Value(double number) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
  json.assign(buffer, result.ptr);
  if (json.find_first_of(".eE") == std::string::npos) json += ".0";
}

RunResult runPython(const std::string& script, std::vector<std::string> args) {
  args.insert(args.begin(), {kPython, scriptPath(script)});
  return runProcess(args);
}

void writeDbf(const fs::path& hostPath, const std::string& fields, const std::vector<Row>& rows,
              const std::string& type) {
  std::ostringstream json;
  json << "{\"path\": " << jsonString(hostPath.string()) << ", \"fields\": " << jsonString(fields)
       << ", \"type\": " << jsonString(type) << ", \"rows\": [";
  for (std::size_t r = 0; r < rows.size(); ++r) {
    json << (r ? ", [" : "[");
    for (std::size_t v = 0; v < rows[r].size(); ++v) json << (v ? ", " : "") << rows[r][v].json;
    json << "]";
  }
  json << "]}";
  const fs::path specFile = hostPath.string() + ".json";
  std::ofstream(specFile) << json.str();
  const RunResult r = runPython("make_dbf.py", {specFile.string()});
  fs::remove(specFile);
  ASSERT_TRUE(r.ok()) << "python3-dbf could not write " << hostPath << ": " << r.describe();
}

int DbfContents::column(const std::string& field) const {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].name == field) return static_cast<int>(i);
  }
  ADD_FAILURE() << "no field " << field;
  return -1;
}

const std::string& DbfContents::at(std::size_t record, const std::string& field) const {
  static const std::string missing = "<missing>";
  const int c = column(field);
  if (c < 0 || record >= records.size()) return missing;
  return records[record][c];
}

std::vector<std::string> DbfContents::columnValues(const std::string& field) const {
  std::vector<std::string> values;
  for (std::size_t r = 0; r < records.size(); ++r) values.push_back(at(r, field));
  return values;
}

DbfContents readDbf(const fs::path& hostPath) {
  DbfContents contents;
  const RunResult r = runPython("read_dbf.py", {hostPath.string()});
  EXPECT_TRUE(r.ok()) << "dbfread could not read " << hostPath << ": " << r.describe();
  std::istringstream lines(r.output);
  std::string line;
  if (!std::getline(lines, line)) return contents;
  for (const std::string& layout : splitTabs(line)) {
    DbfField field;
    std::istringstream parts(layout);
    std::string type, length, decimals;
    std::getline(parts, field.name, ':');
    std::getline(parts, type, ':');
    std::getline(parts, length, ':');
    std::getline(parts, decimals, ':');
    field.type = type.empty() ? '?' : type[0];
    field.length = std::atoi(length.c_str());
    field.decimals = std::atoi(decimals.c_str());
    contents.fields.push_back(field);
  }
  while (std::getline(lines, line)) contents.records.push_back(splitTabs(line));
  return contents;
}

void RecordingUi::notice(const std::string& text) {
  calls.push_back("notice:" + text);
  if (onNotice) onNotice(text);
}

void ExportTest::SetUpTestSuite() {
  if (!processDrive()) processDrive() = std::make_unique<TemporaryDriveC>("pasarela-export-");
}

void ExportTest::TearDownTestSuite() {}

fs::path ExportTest::driveC() { return processDrive()->root(); }

void ExportTest::SetUp() {
  // The school tables of these tests are written, and the interchange
  // tables read back, by python3-dbf and dbfread.
  PASARELA_SKIP_IF_MISSING(pythonMissing("dbf dbfread"));
  fs::remove_all(ktemp());
  fs::create_directories(staging());
}

void ExportTest::TearDown() { tables.closeAll(); }

void ExportTest::writeSource(const std::string& table, const std::string& fields,
                             const std::vector<Row>& rows, const std::string& type) {
  writeDbf(staging() / (table + ".dbf"), fields, rows, type);
}

DbfContents ExportTest::output(const std::string& table) const { return readDbf(ktemp() / (table + ".DBF")); }

void ExportTest::checkAgainstRules(const std::string& language) const {
  const RunResult r = runPython("check_export.py", {staging().string(), ktemp().string(), language});
  EXPECT_TRUE(r.ok()) << r.describe();
}

bool ExportTest::interchangeExists(const std::string& file) const { return fs::exists(ktemp() / file); }

}  // namespace pasarela::test
