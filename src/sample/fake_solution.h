// A stand-in for the timetable generator: from the exported interchange
// tables it places every lesson of ASIGT.DBF on a day and a slot, with a
// room, and writes the result as C:\KTEMP\SOLUC.DBF, so that the import can
// be run without the generator.
#pragma once

#include <string>
#include <vector>

namespace pasarela::sample {

// One row of SOLUC.DBF. DIA 0 marks a lesson the generator could not place.
struct SolutionRow {
  int dia = 0;
  int hora = 0;
  std::string aula, prof, nivel, curso, asig, grupo;
};

// One teaching assignment: `sessions` lessons a week of one subject, teacher
// and group.
struct Assignment {
  std::string asig, prof, nivel, curso, grupo;
  int sessions = 1;
};

struct FakeSolutionOptions {
  unsigned seed = 1;
  int days = 5;
  int slotsPerDay = 12;  // a morning and an afternoon shift
  // Lessons one group may have at once: optional subjects are taught side
  // by side to parts of a group.
  int groupParallel = 3;
};

// Places the lessons: no teacher or room holds two lessons at once, no group
// more than `groupParallel`; a lesson that finds no free day, slot and room
// is left unplaced (DIA 0).
std::vector<SolutionRow> planTimetable(const std::vector<Assignment>& assignments,
                                       const std::vector<std::string>& rooms,
                                       const FakeSolutionOptions& options);

// Writes the rows as a dBase table with the generator's fields (DIA, HORA,
// AULA, PROF, NIVEL, CURSO, ASIG, GRUPO), replacing the file.
void writeSolutionTable(const std::string& windowsPath, const std::vector<SolutionRow>& rows);

struct FakeSolutionSummary {
  long rows = 0;
  long unplaced = 0;
};

// Reads C:\KTEMP\ASIGT.DBF and C:\KTEMP\AULAT.DBF and writes C:\KTEMP\SOLUC.DBF.
FakeSolutionSummary writeFakeSolution(const FakeSolutionOptions& options);

}  // namespace pasarela::sample
