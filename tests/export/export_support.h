// Test support of the export: a temporary drive C with the staging and
// interchange folders, school tables written by python3-dbf (as a foreign
// program writes them), outputs read back by dbfread, and a user interface
// that records what the run asked of it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "data/school_tables.h"
#include "data/transfer_context.h"
#include "data/user_interface.h"

namespace pasarela::test {

// A value of a hand-made record, kept as its JSON text.
struct Value {
  Value(std::nullptr_t) : json("null") {}
  Value(const char* text);
  Value(const std::string& text) : Value(text.c_str()) {}
  Value(int number) : json(std::to_string(number)) {}
  Value(long long number) : json(std::to_string(number)) {}
  Value(double number);
  Value(bool flag) : json(flag ? "true" : "false") {}
  std::string json;
};
using Row = std::vector<Value>;

// Writes a dBase table at `hostPath` with /usr/bin/python3 and python3-dbf.
// `fields` in python3-dbf's notation: "CODAULA C(4); DNI N(10,0); FBAJA D".
// `type` "db3" (dBase III+) or "vfp" (FoxPro-style, memo in .fpt).
void writeDbf(const std::filesystem::path& hostPath, const std::string& fields, const std::vector<Row>& rows,
              const std::string& type = "db3");

struct DbfField {
  std::string name;
  char type = 'C';
  int length = 0;
  int decimals = 0;
};

// A table as dbfread reads it: declared fields and every live record's
// values as text (numbers in shortest form, booleans T/F, empty as "").
struct DbfContents {
  std::vector<DbfField> fields;
  std::vector<std::vector<std::string>> records;

  std::size_t size() const { return records.size(); }
  int column(const std::string& field) const;
  const std::string& at(std::size_t record, const std::string& field) const;
  std::vector<std::string> columnValues(const std::string& field) const;
};

DbfContents readDbf(const std::filesystem::path& hostPath);

// Records every call; `onNotice` runs inside a notice, as the modal box does.
class RecordingUi : public UserInterface {
 public:
  void notice(const std::string& text) override;
  void error(const std::string& text) override { calls.push_back("error:" + text); }
  void busyCursor() override { calls.push_back("busy"); }
  void normalCursor() override { calls.push_back("normal"); }
  void showTeacherCheck() override { calls.push_back("teacherCheck"); }
  void showTemplateCheck() override { calls.push_back("templateCheck"); }
  void closeMainWindow() override { calls.push_back("close"); }

  std::vector<std::string> calls;
  std::function<void(const std::string&)> onNotice;
};

// Each test gets an empty C:\KTEMP and C:\KTEMP\VAVOVIDI on a temporary
// drive C shared by the tests of the process.
class ExportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  static std::filesystem::path driveC();
  static std::filesystem::path ktemp() { return driveC() / "KTEMP"; }
  static std::filesystem::path staging() { return ktemp() / "VAVOVIDI"; }

  // A school table in the staging folder ("profesor" -> profesor.dbf).
  void writeSource(const std::string& table, const std::string& fields, const std::vector<Row>& rows,
                   const std::string& type = "db3");
  // An interchange table of C:\KTEMP ("AULAT" -> AULAT.DBF), read by dbfread.
  DbfContents output(const std::string& table) const;
  bool interchangeExists(const std::string& file) const;
  // Recomputes the nine interchange tables from the staged school tables
  // with check_export.py and reports every difference as a failure.
  void checkAgainstRules(const std::string& language) const;

  SchoolTables tables;
  RecordingUi ui;
  TransferContext ctx{tables, ui, "C:\\OB", "", "VALENCIÁ"};
};

// The source tables of the procedures with the fields they read.
inline constexpr const char* kAsignatFields =
    "CODASIG C(8); VLITEASIG C(50); CLITEASIG C(50); HORSEMTE C(5); LITRESV C(3)";
inline constexpr const char* kProfesorFields = "APENOMPROF C(50); DEPARTA C(50); DNI N(10,0); FBAJA D";
inline constexpr const char* kAulasFields = "CODAULA C(6); LITAULA C(60)";
inline constexpr const char* kGruposFields = "CODGRUP C(5); TURNO C(2)";
inline constexpr const char* kAlumnosFields =
    "APENOM C(45); CODIGO C(10); CODCUR C(4); CODGRUP C(5); REPITE N(2,0)";
inline constexpr const char* kAsigAlumFields = "CODIGO C(10); CODASIG C(8)";
inline constexpr const char* kHorGrupFields = "CODGRUP C(5); CODASIG C(8); DNI N(10,0); DIASEM N(1,0)";

}  // namespace pasarela::test
