// What the window and the console tell the user about a transfer.
#include "import/import_run.h"

namespace pasarela {

namespace {

// Long lists are cut: the user needs the first few to find the cause.
constexpr size_t kListed = 20;

template <class List, class Show>
std::string listed(const List& list, Show show) {
  std::string text;
  size_t n = 0;
  for (const auto& item : list) {
    if (n == kListed) {
      text += ", ... (" + std::to_string(list.size()) + " en total)";
      break;
    }
    text += (n++ ? ", " : "") + show(item);
  }
  return text;
}

}  // namespace

std::string transferProblemsText(const ImportReport& report) {
  std::string text;
  if (report.rowsWithoutTeacher > 0) {
    text += "Filas sin profesor (DNI 0): " + std::to_string(report.rowsWithoutTeacher) + "\n";
    if (!report.unmatchedTeachers.empty())
      text += "Abreviaturas que no están en C:\\KTEMP\\PROFT.DBF: " +
              listed(report.unmatchedTeachers,
                     [](const std::string& s) { return s.empty() ? std::string("(vacía)") : s; }) +
              "\n";
  }
  if (report.rowsWithoutSubject > 0) {
    text += "Filas sin asignatura (CODASIG vacío): " + std::to_string(report.rowsWithoutSubject) + "\n";
    if (!report.unmatchedSubjects.empty())
      text += "Asignaturas que no están en C:\\KTEMP\\ASIGVALT.DBF (nivel/curso/asignatura): " +
              listed(report.unmatchedSubjects,
                     [](const ImportReport::Subject& s) { return s.nivel + "/" + s.curso + "/" + s.asig; }) +
              "\n";
  }
  return text;
}

std::string importSummaryText(const ImportReport& report, const std::string& sourceFolder) {
  std::string text = "Proceso finalizado\n\n";
  text += "Filas escritas: " + std::to_string(report.rowsWritten) + " en horgrup.dbf y " +
          std::to_string(report.rowsWritten) + " en horprof.dbf (" + sourceFolder + ")\n";
  const std::string problems = transferProblemsText(report);
  text += problems.empty() ? "Todas las filas tienen profesor y asignatura.\n" : problems;
  if (!report.backupFolder.empty())
    text += "Los horgrup.dbf y horprof.dbf anteriores se han guardado en " + report.backupFolder + "\n";
  return text;
}

}  // namespace pasarela
