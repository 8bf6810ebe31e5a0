// `pasarela import [--source CARPETA] [--centre CODIGO] [--dry-run]
// [--format ...]`: stages the school's tables, turns C:\KTEMP\SOLUC.DBF into
// horgrup.dbf and horprof.dbf and reports what the solution left unmatched.
#include <cstdio>
#include <string>

#include "base/error.h"
#include "cli/command.h"
#include "cli/console_ui.h"
#include "cli/language.h"
#include "cli/report.h"
#include "data/folders.h"
#include "data/school_tables.h"
#include "data/staging.h"
#include "data/transfer_context.h"
#include "data/transfer_lock.h"
#include "data/winpath.h"
#include "import/copy_back.h"
#include "import/import_run.h"

namespace pasarela::cli {

namespace {

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
  std::fputs("Profesores sin número de identidad (DNI 0) en C:\\KTEMP\\PROFT.DBF:\n", stderr);
  for (proft.first(); !proft.eof(); proft.next()) {
    if (proft.asInteger("DNI") != 0) continue;
    std::fprintf(stderr, "  %-4s  %s\n", proft.asString("ABREV").c_str(), proft.asString("NOMBRE").c_str());
  }
}

std::string quotedList(const std::vector<std::string>& list) {
  std::string text;
  for (const std::string& item : list)
    text += (text.empty() ? "" : ", ") + (item.empty() ? std::string("'' (vacía)") : "'" + item + "'");
  return text;
}

std::vector<std::string> subjectCodes(const ImportReport& report) {
  std::vector<std::string> codes;
  for (const ImportReport::Subject& s : report.unmatchedSubjects)
    codes.push_back(s.nivel + "/" + s.curso + "/" + s.asig);
  return codes;
}

std::string textReport(const ImportReport& report, const std::string& source) {
  const std::string rows = std::to_string(report.rowsWritten);
  std::string out = "filas escritas: " + rows + " en horprof.dbf y " + rows + " en horgrup.dbf\n";
  out += "filas sin profesor (dni 0): " + std::to_string(report.rowsWithoutTeacher) + "\n";
  if (!report.unmatchedTeachers.empty())
    out += "  abreviaturas que no están en PROFT.DBF: " + quotedList(report.unmatchedTeachers) + "\n";
  out += "filas sin asignatura (codasig vacío): " + std::to_string(report.rowsWithoutSubject) + "\n";
  if (!report.unmatchedSubjects.empty())
    out +=
        "  asignaturas que no están en ASIGVALT.DBF (NIVEL/CURSO/ASIG): " + quotedList(subjectCodes(report)) +
        "\n";
  out += "filas cuyo grupo no está en grupos.dbf: " + std::to_string(report.rowsWithoutGroup) + "\n";
  if (!report.unmatchedGroups.empty()) out += "  grupos: " + quotedList(report.unmatchedGroups) + "\n";
  out += "filas cuya aula no está en aulas.dbf: " + std::to_string(report.rowsWithoutRoom) + "\n";
  if (!report.unmatchedRooms.empty()) out += "  aulas: " + quotedList(report.unmatchedRooms) + "\n";
  if (report.outcome == ImportReport::Outcome::DryRun) {
    out +=
        "prueba: " + source + " queda sin cambios; las tablas reescritas están en " + kStagingFolder + "\n";
  } else {
    out += "horgrup.dbf y horprof.dbf reemplazados en " + source;
    if (!report.backupFolder.empty()) out += " (los anteriores se guardan en " + report.backupFolder + ")";
    out += "\n";
  }
  return out;
}

Report scriptReport(const ImportReport& report, const std::string& source) {
  const bool dryRun = report.outcome == ImportReport::Outcome::DryRun;
  Report r("clave", "valor");
  r.add("resultado", std::string(dryRun ? "prueba" : "completado"));
  r.add("carpeta_origen", source);
  r.add("filas_escritas", static_cast<long long>(report.rowsWritten));
  r.add("filas_sin_profesor", static_cast<long long>(report.rowsWithoutTeacher));
  r.add("abreviaturas_sin_profesor", report.unmatchedTeachers);
  r.add("filas_sin_asignatura", static_cast<long long>(report.rowsWithoutSubject));
  r.add("asignaturas_sin_codigo", subjectCodes(report));
  r.add("filas_sin_grupo", static_cast<long long>(report.rowsWithoutGroup));
  r.add("grupos_desconocidos", report.unmatchedGroups);
  r.add("filas_sin_aula", static_cast<long long>(report.rowsWithoutRoom));
  r.add("aulas_desconocidas", report.unmatchedRooms);
  if (dryRun) r.add("carpeta_tablas", std::string(kStagingFolder));
  if (!dryRun) r.add("carpeta_copias", report.backupFolder);
  return r;
}

}  // namespace

const CommandSyntax& importSyntax() {
  static const CommandSyntax syntax{
      "import",
      "",
      false,
      "convierte C:\\KTEMP\\SOLUC.DBF en las tablas horgrup.dbf y horprof.dbf del centro",
      {textOption("--source", "CARPETA", "carpeta de las tablas del centro (por omisión C:\\OB)"),
       textOption("--centre", "CODIGO", "código del centro (por omisión el primero de centro.dbf)"),
       flagOption("--dry-run", "prueba: deja la carpeta del centro sin cambios"), reportFormatOption()},
      "Sin C:\\KTEMP\\SOLUC.DBF, o con profesores sin número de identidad en\n"
      "C:\\KTEMP\\PROFT.DBF, no se modifica nada y el estado de salida es 1.\n"
      "horgrup.dbf y horprof.dbf se reemplazan juntos o ninguno; los anteriores se\n"
      "guardan en C:\\KTEMP\\VAVOVIDI\\COPIAS.\n"};
  return syntax;
}

int importCommand(const Args& args) {
  const ParsedArgs parsed = parseArgs(importSyntax(), args);
  const std::string source = winpath::fromCommandLine(parsed.text("--source", kDefaultSourceFolder));
  const ReportFormat format = reportFormat(parsed.text("--format", "texto"));
  ImportOptions options;
  options.dryRun = parsed.has("--dry-run");

  // Staging from the staging folder would delete its own source files.
  ComprobarCarpetaOrigen(source);
  if (!winpath::folderExists(source)) throw Error("No se encuentra la carpeta de origen " + source);

  // The run's lock covers the staging too (see export).
  if (!winpath::folderExists(kStagingFolder)) winpath::createFolders(kStagingFolder);
  TransferLock lock(kInterchangeFolder);
  ConsoleUserInterface ui;
  SchoolTables tables;
  CopiarDatosOrigen(tables, source);
  const std::string centre = parsed.has("--centre") ? parsed.text("--centre") : firstCentre(tables);

  ImportReport report;
  TransferContext ctx{tables, ui, source, centre, kValencian};
  options.report = &report;
  BImportarClick(ctx, options);

  switch (report.outcome) {
    case ImportReport::Outcome::SolutionMissing:
      return kExitFailure;  // the run's notice said why
    case ImportReport::Outcome::TeachersWithoutDni:
      listTeachersWithoutDni();
      std::fprintf(stderr, "No se ha modificado nada en %s\n", source.c_str());
      return kExitFailure;
    case ImportReport::Outcome::DryRun:
    case ImportReport::Outcome::Completed:
      if (format == ReportFormat::Text) std::fputs(textReport(report, source).c_str(), stdout);
      if (format == ReportFormat::Csv) std::fputs(scriptReport(report, source).csv().c_str(), stdout);
      if (format == ReportFormat::Json) std::fputs(scriptReport(report, source).json().c_str(), stdout);
      return kExitSuccess;
    case ImportReport::Outcome::Cancelled:
    case ImportReport::Outcome::NotRun:
      break;
  }
  throw Error("La importación no ha terminado");
}

}  // namespace pasarela::cli
