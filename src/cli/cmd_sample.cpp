// `pasarela sample CARPETA [--scale N] [--seed N] [--without-dni N] [--force]`:
// writes the sample school's tables into a folder.
#include <cstdio>
#include <string>

#include "cli/command.h"
#include "cli/report.h"
#include "data/winpath.h"
#include "base/error.h"
#include "sample/sample_school.h"

namespace pasarela::cli {

namespace {

// The tables a school folder holds; writing the sample over any of them
// would lose a school's data.
constexpr const char* kSchoolTables[] = {"asignat.dbf", "centro.dbf",  "profesor.dbf", "asigalum.dbf",
                                         "aulas.dbf",   "grupos.dbf",  "alumnos.dbf",  "horgrup.dbf",
                                         "horprof.dbf", "lhortipo.dbf"};

void refuseFolderWithTables(const std::string& folder) {
  for (const char* name : kSchoolTables) {
    const std::string path = winpath::join(folder, name);
    if (winpath::fileExists(path))
      throw Error("La carpeta " + folder + " ya tiene tablas (" + path +
                  "): no se escribe el centro de ejemplo encima; use --force para reemplazarlas");
  }
}

}  // namespace

const CommandSyntax& sampleSyntax() {
  static const CommandSyntax syntax{
      "sample",
      "CARPETA",
      true,
      "escribe las tablas de un centro de ejemplo en CARPETA",
      {numberOption("--scale", "multiplica el tamaño del centro (1 a 1000; por omisión 1)", 1, 1000),
       numberOption("--seed", "semilla: la misma da el mismo centro (0 a 2^63-1; por omisión 1)", 0,
                    0x7FFFFFFFFFFFFFFFLL),
       numberOption("--without-dni", "profesores en activo sin DNI (0 a 100000; por omisión 0)", 0, 100000),
       flagOption("--force", "reemplaza las tablas que ya haya en CARPETA"), reportFormatOption()},
      "CARPETA se crea si no existe. Si ya contiene tablas de un centro, no se escribe\n"
      "nada (estado de salida 1) salvo con --force.\n"};
  return syntax;
}

int sampleCommand(const Args& args) {
  const ParsedArgs parsed = parseArgs(sampleSyntax(), args);
  sample::SampleOptions options;
  options.scale = static_cast<int>(parsed.number("--scale", 1));
  options.seed = static_cast<std::uint64_t>(parsed.number("--seed", 1));
  options.teachersWithoutDni = static_cast<int>(parsed.number("--without-dni", 0));
  const ReportFormat format = reportFormat(parsed.text("--format", "texto"));

  const std::string folder = winpath::fromCommandLine(parsed.operand());
  if (!parsed.has("--force")) refuseFolderWithTables(folder);
  const sample::SampleCounts counts = sample::writeSampleSchool(folder, options);

  Report report("tabla", "registros");
  std::string text = folder + "\n";
  for (const auto& [file, records] : counts) {
    report.add(winpath::join(folder, file), static_cast<long long>(records));
    char line[64];
    std::snprintf(line, sizeof line, "  %-14s %8zu\n", file.c_str(), records);
    text += line;
  }
  if (format == ReportFormat::Csv) text = report.csv();
  if (format == ReportFormat::Json) text = report.json();
  std::fputs(text.c_str(), stdout);
  return kExitSuccess;
}

}  // namespace pasarela::cli
