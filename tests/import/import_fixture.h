// A drive C: of its own for every test, the school's folder C:\OB, the
// interchange tables, and a scripted user.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "data/school_tables.h"
#include "data/table.h"
#include "data/transfer_context.h"
#include "data/user_interface.h"
#include "base/error.h"
#include "import/import_run.h"

namespace pasarela::test {

// Records what the run asks of the user; the check windows are scripted.
class ScriptedUi : public UserInterface {
 public:
  void notice(const std::string& text) override;
  void error(const std::string& text) override;
  void busyCursor() override;
  void normalCursor() override;
  void showTeacherCheck() override;
  void showTemplateCheck() override;
  void closeMainWindow() override;

  // Called while the window is "shown"; they open their own Table objects.
  std::function<void()> onTeacherCheck;
  std::function<void()> onTemplateCheck;

  std::vector<std::string> events;  // "notice:<text>", "busy", "normal", "teacherCheck", ...
  std::vector<std::string> notices;
  int teacherChecks = 0;
  int templateChecks = 0;
  bool closed = false;
  // The cursor as the user sees it now.
  bool busy = false;
  // The cursor while each window was shown.
  std::vector<bool> busyDuringWindows;
};

struct Teacher {
  std::string abrev, nombre;
  std::int64_t dni;
};
struct Subject {
  std::string cod, codvalen, nivel, curso;
};
struct SolucRow {
  int dia, hora;
  std::string aula, prof, nivel, curso, asig, grupo;
};
struct SlotLine {
  std::string codcen;
  int numhora;
  std::string desde, hasta;
};

// A table read back by an independent reader (python3-dbfread).
struct ReadBack {
  std::vector<std::string> fields;
  std::vector<std::map<std::string, std::string>> rows;
  int ldid = -1;
  std::string types;  // "NAME:C:5 ..."
};

class ImportTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::filesystem::path host(const std::string& windowsPath) const;
  std::string bytes(const std::string& windowsPath) const;
  std::filesystem::path root() const { return root_; }

  // The interchange tables, written by our engine as the export does.
  void writeProft(const std::vector<Teacher>& teachers);
  void writeAsigvalt(const std::vector<Subject>& subjects);
  void writeSoluc(const std::vector<SolucRow>& rows);
  // The school's tables, written by an independent writer (python3-dbf) with
  // fields beyond the ones the import knows and code page 850.
  void writeSchoolTimetables(int oldRows = 2);
  void writeLhortipo(const std::vector<SlotLine>& lines);
  void makeTable(const std::string& windowsPath, const std::string& layout, const std::string& jsonRows,
                 const std::string& codepage = "cp850");

  ReadBack readBack(const std::string& windowsPath) const;

  // A complete small school where every lookup succeeds.
  void writeSmallSchool();

  void runImport(const ImportOptions& options = {});

  SchoolTables tables;
  ScriptedUi ui;
  TransferContext ctx{tables, ui, "C:\\OB", "46001", "VALENCIÁ"};
  ImportReport report;

 private:
  std::filesystem::path root_;
};

std::string runCommand(const std::string& command, int* status = nullptr);

}  // namespace pasarela::test
