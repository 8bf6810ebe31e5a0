// The import run: the solution C:\KTEMP\SOLUC.DBF becomes the school's
// horgrup.dbf and horprof.dbf.
#pragma once

#include <string>
#include <vector>

#include "data/transfer_context.h"

namespace pasarela {

// What a run did, for callers that print it (the CLI) or test it.
struct ImportReport {
  enum class Outcome {
    NotRun,              // ended by an error (the exception says why)
    SolutionMissing,     // no C:\KTEMP\SOLUC.DBF
    TeachersWithoutDni,  // the teacher check ended the run
    DryRun,              // transferred in the staging folder, not copied back
    Cancelled,           // the user chose not to copy back a transfer with problems
    Completed,           // horgrup.dbf and horprof.dbf replaced in the source folder
  };
  struct Subject {
    std::string nivel, curso, asig;
    bool operator==(const Subject&) const = default;
  };
  Outcome outcome = Outcome::NotRun;
  long rowsWritten = 0;                        // pairs of horprof/horgrup rows
  long rowsWithoutTeacher = 0;                 // dni 0: PROF not found in PROFT.DBF
  long rowsWithoutSubject = 0;                 // empty codasig: no ASIGVALT.DBF row
  std::vector<std::string> unmatchedTeachers;  // distinct PROF texts, in order of first use
  std::vector<Subject> unmatchedSubjects;      // distinct NIVEL/CURSO/ASIG, in order of first use
  long rowsWithoutGroup = 0;                   // codgrup not in the staged grupos
  std::vector<std::string> unmatchedGroups;    // distinct codgrup texts, in order of first use
  long rowsWithoutRoom = 0;                    // AULA not in the staged aulas
  std::vector<std::string> unmatchedRooms;     // distinct AULA texts, in order of first use
  std::string backupFolder;                    // the dated copy of the previous files, when made

  bool hasProblems() const { return rowsWithoutTeacher > 0 || rowsWithoutSubject > 0; }
};

// The report's problems in Spanish, one line each (empty without problems).
std::string transferProblemsText(const ImportReport& report);
// The end of a completed run: "Proceso finalizado", the problems and where
// the previous timetable files were kept.
std::string importSummaryText(const ImportReport& report, const std::string& sourceFolder);

struct ImportOptions {
  // Everything but the copy back into the source folder.
  bool dryRun = false;
  // Filled in when given.
  ImportReport* report = nullptr;
};

// The import button's run.
void BImportarClick(TransferContext& ctx, const ImportOptions& options = {});

}  // namespace pasarela
