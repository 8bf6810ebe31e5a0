// `pasarela export [--source CARPETA] [--lang IDIOMA] [--format ...]`:
// stages the school's tables from the folder as the window does at start-up,
// runs the export and reports the records written to each interchange table.
#include <cstdio>

#include "base/error.h"
#include "cli/command.h"
#include "cli/console_ui.h"
#include "cli/language.h"
#include "cli/report.h"
#include "data/folders.h"
#include "data/school_tables.h"
#include "data/staging.h"
#include "data/transfer_lock.h"
#include "data/winpath.h"
#include "export/export_run.h"
#include "import/copy_back.h"

namespace pasarela::cli {

namespace {

std::string textReport(const ExportReport& report) {
  std::string text;
  for (const ExportReport::TableRecords& t : report.tables)
    text += t.table + ": " + std::to_string(t.records) + (t.records == 1 ? " registro\n" : " registros\n");
  for (const std::string& warning : report.warnings) text += ConsoleUserInterface::consoleText(warning) + "\n";
  return text;
}

Report scriptReport(const ExportReport& report) {
  Report r("tabla", "registros");
  for (const ExportReport::TableRecords& t : report.tables) r.add(t.table, t.records);
  std::vector<std::string> warnings;
  for (const std::string& warning : report.warnings) warnings.push_back(ConsoleUserInterface::consoleText(warning));
  r.add("avisos", warnings);
  return r;
}

}  // namespace

const CommandSyntax& exportSyntax() {
  static const CommandSyntax syntax{
      "export",
      "",
      false,
      "escribe las nueve tablas de intercambio en C:\\KTEMP desde las tablas del centro",
      {textOption("--source", "CARPETA", "carpeta de las tablas del centro (por omisión C:\\OB)"),
       textOption("--lang", "IDIOMA",
                  "idioma de los nombres de las asignaturas: valencià (por omisión) o castellano"),
       reportFormatOption()},
      "El informe da, por cada tabla de intercambio, su ruta y los registros escritos,\n"
      "y después los avisos (códigos de aula recortados, ...):\n"
      "  C:\\KTEMP\\ASIGVALT.DBF: 42 registros\n"};
  return syntax;
}

int exportCommand(const Args& args) {
  const ParsedArgs parsed = parseArgs(exportSyntax(), args);
  const std::string source = winpath::fromCommandLine(parsed.text("--source", kDefaultSourceFolder));
  const std::string language = languageFromCommandLine(parsed.text("--lang", kValencian));
  const ReportFormat format = reportFormat(parsed.text("--format", "texto"));

  // Staging from the staging folder would delete its own source files.
  ComprobarCarpetaOrigen(source);
  if (!winpath::folderExists(source)) throw Error("No se encuentra la carpeta de origen " + source);
  // The run's lock covers the staging too: a second run refuses before it
  // replaces the staged copies this one reads.
  if (!winpath::folderExists(kStagingFolder)) winpath::createFolders(kStagingFolder);
  TransferLock lock(kInterchangeFolder);
  ConsoleUserInterface ui;
  SchoolTables tables;
  CopiarDatosOrigen(tables, source);
  TransferContext ctx{tables, ui, source, "", language};
  const ExportReport report = BExportarClick(ctx);

  std::string text = textReport(report);
  if (format == ReportFormat::Csv) text = scriptReport(report).csv();
  if (format == ReportFormat::Json) text = scriptReport(report).json();
  std::fputs(text.c_str(), stdout);
  return kExitSuccess;
}

}  // namespace pasarela::cli
