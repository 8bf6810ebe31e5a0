#include <cstdio>
#include <string>

#include "cli/command.h"
#include "data/folders.h"
#include "data/school_tables.h"
#include "data/staging.h"
#include "data/transfer_context.h"
#include "data/user_interface.h"
#include "data/winpath.h"
#include "base/error.h"
#include "import/copy_back.h"
#include "import/import_run.h"

namespace pasarela::cli {

namespace {

// The import without windows: messages go to the console, and the two check
// windows cannot ask anything, so the tables are used as they are.
class ImportConsole : public UserInterface {
 public:
  void notice(const std::string& text) override { std::printf("%s\n", console(text).c_str()); }
  void error(const std::string& text) override {
    std::fprintf(stderr, "%s\n", console(errorBoxText(text)).c_str());
  }
  void busyCursor() override {}
  void normalCursor() override {}
  void showTeacherCheck() override {}
  void showTemplateCheck() override {}
  void closeMainWindow() override { closed = true; }
  bool closed = false;

 private:
  // The message boxes separate lines with "\n\r"; a terminal wants "\n".
  static std::string console(std::string text) {
    for (size_t at; (at = text.find("\n\r")) != std::string::npos;) text.erase(at + 1, 1);
    return text;
  }
};

int usage() {
  std::fputs("usage: pasarela import [--source DIR] [--centre CODE] [--dry-run]\n", stderr);
  return 2;
}

// The first code of the staged centro table, as the window's list shows it.
std::string firstCentre(SchoolTables& tables) {
  Table& centro = tables.wwTableCentro;
  centro.open();
  centro.first();
  std::string code = centro.eof() ? std::string() : centro.asString("Codcen");
  centro.close();
  if (code.empty()) throw Error("No hay ningún centro en " + centro.windowsPath() + ": indique --centre");
  return code;
}

void listTeachersWithoutDni() {
  Table proft;
  proft.setTableName("C:\\KTEMP\\PROFT.DBF");
  proft.open();
  std::fputs("Teachers without an identity number (DNI 0) in C:\\KTEMP\\PROFT.DBF:\n", stderr);
  for (proft.first(); !proft.eof(); proft.next()) {
    if (proft.asInteger("DNI") != 0) continue;
    std::fprintf(stderr, "  %-4s  %s\n", proft.asString("ABREV").c_str(), proft.asString("NOMBRE").c_str());
  }
}

template <class List, class Show>
std::string joined(const List& list, Show show) {
  std::string text;
  for (const auto& item : list) text += (text.empty() ? "" : ", ") + show(item);
  return text;
}

void printReport(const ImportReport& report, const std::string& source) {
  std::printf("rows written: %ld in horprof.dbf and %ld in horgrup.dbf\n", report.rowsWritten,
              report.rowsWritten);
  std::printf("rows without teacher (dni 0): %ld\n", report.rowsWithoutTeacher);
  if (!report.unmatchedTeachers.empty()) {
    std::printf("  abbreviations not in PROFT.DBF: %s\n",
                joined(report.unmatchedTeachers, [](const std::string& s) {
                  return s.empty() ? std::string("'' (empty)") : "'" + s + "'";
                }).c_str());
  }
  std::printf("rows without subject (empty codasig): %ld\n", report.rowsWithoutSubject);
  if (!report.unmatchedSubjects.empty()) {
    std::printf("  subjects not in ASIGVALT.DBF (NIVEL/CURSO/ASIG): %s\n",
                joined(report.unmatchedSubjects, [](const ImportReport::Subject& s) {
                  return "'" + s.nivel + "/" + s.curso + "/" + s.asig + "'";
                }).c_str());
  }
  if (report.outcome == ImportReport::Outcome::DryRun) {
    std::printf("dry run: %s left unchanged; the rewritten tables are in %s\n", source.c_str(),
                kStagingFolder);
  } else {
    std::printf("horgrup.dbf and horprof.dbf replaced in %s", source.c_str());
    if (!report.backupFolder.empty())
      std::printf(" (previous files kept in %s)", report.backupFolder.c_str());
    std::printf("\n");
  }
}

}  // namespace

int importCommand(const Args& args) {
  std::string source = kDefaultSourceFolder;
  std::string centre;
  bool centreGiven = false;
  ImportOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--source" && i + 1 < args.size()) {
      source = winpath::fromCommandLine(args[++i]);
    } else if (args[i] == "--centre" && i + 1 < args.size()) {
      centre = args[++i];
      centreGiven = true;
    } else if (args[i] == "--dry-run") {
      options.dryRun = true;
    } else {
      return usage();
    }
  }
  ImportConsole ui;
  ImportReport report;
  try {
    // Staging from the staging folder would delete its own source files.
    ComprobarCarpetaOrigen(source);
    if (!winpath::folderExists(source)) throw Error("No se encuentra la carpeta de origen " + source);

    SchoolTables tables;
    CopiarDatosOrigen(tables, source);
    if (!centreGiven) centre = firstCentre(tables);

    TransferContext ctx{tables, ui, source, centre, "VALENCIÁ"};
    options.report = &report;
    BImportarClick(ctx, options);
    if (report.outcome == ImportReport::Outcome::TeachersWithoutDni) listTeachersWithoutDni();
  } catch (const Error& e) {
    ui.error(e.what());
    return 1;
  }

  switch (report.outcome) {
    case ImportReport::Outcome::SolutionMissing:
      return 1;
    case ImportReport::Outcome::TeachersWithoutDni:
      std::fprintf(stderr, "nothing was rewritten in %s\n", source.c_str());
      return 1;
    case ImportReport::Outcome::DryRun:
    case ImportReport::Outcome::Completed:
      printReport(report, source);
      return 0;
    case ImportReport::Outcome::NotRun:
      break;
  }
  return 1;
}

}  // namespace pasarela::cli
