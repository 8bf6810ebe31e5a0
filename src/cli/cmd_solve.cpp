// `pasarela solve [--seed N] [--force]`: plays the timetable generator,
// C:\KTEMP\SOLUC.DBF from the exported tables.
#include <cstdio>
#include <string>

#include "base/error.h"
#include "cli/command.h"
#include "cli/report.h"
#include "data/folders.h"
#include "data/winpath.h"
#include "sample/fake_solution.h"

namespace pasarela::cli {

namespace {}  // namespace

const CommandSyntax& solveSyntax() {
  static const CommandSyntax syntax{
      "solve",
      "",
      false,
      "hace de generador: escribe C:\\KTEMP\\SOLUC.DBF a partir de las tablas exportadas",
      {numberOption("--seed", "semilla del reparto (0 a 4294967295; por omisión 1)", 0, 4294967295LL),
       flagOption("--force", "reemplaza un C:\\KTEMP\\SOLUC.DBF que ya exista"), reportFormatOption()},
      "Lee C:\\KTEMP\\ASIGT.DBF y C:\\KTEMP\\AULAT.DBF. Una solución que ya exista\n"
      "puede ser la del generador: sin --force no se toca (estado de salida 1).\n"};
  return syntax;
}

int solveCommand(const Args& args) {
  const ParsedArgs parsed = parseArgs(solveSyntax(), args);
  sample::FakeSolutionOptions options;
  options.seed = static_cast<unsigned>(parsed.number("--seed", 1));
  const ReportFormat format = reportFormat(parsed.text("--format", "texto"));
  if (!parsed.has("--force") && winpath::fileExists(kSolutionFile))
    throw Error(std::string("Ya existe ") + kSolutionFile +
                ": no se reemplaza; use --force para reemplazarlo");

  const sample::FakeSolutionSummary summary = sample::writeFakeSolution(options);
  Report report("clave", "valor");
  report.add("sesiones", static_cast<long long>(summary.rows));
  report.add("colocadas", static_cast<long long>(summary.rows - summary.unplaced));
  report.add("sin_colocar", static_cast<long long>(summary.unplaced));
  std::string text = std::string(kSolutionFile) + ": " + std::to_string(summary.rows) + " sesiones, " +
                     std::to_string(summary.rows - summary.unplaced) + " colocadas, " +
                     std::to_string(summary.unplaced) + " sin colocar (DIA 0)\n";
  if (format == ReportFormat::Csv) text = report.csv();
  if (format == ReportFormat::Json) text = report.json();
  std::fputs(text.c_str(), stdout);
  return kExitSuccess;
}

}  // namespace pasarela::cli
