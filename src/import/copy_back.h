// Putting the rewritten timetable tables back into the school's folder
// without ever leaving horgrup.dbf or horprof.dbf deleted, half-written, or
// one new and one old.
#pragma once

#include <string>

#include "data/staging.h"  // ComprobarCarpetaOrigen

namespace pasarela {

// The staged files that travel back, and their names in the source folder.
inline constexpr const char* kTimetableFiles[] = {"horgrup.dbf", "horprof.dbf"};

// How many dated backups of the school's previous timetable files are kept.
inline constexpr int kBackupsKept = 10;

// Refuses a source folder without horgrup.dbf or horprof.dbf, before anything
// is staged: the import has nothing to replace there.
void ComprobarHorariosOrigen(const std::string& sourceFolder);

// Replaces the source folder's horgrup.dbf and horprof.dbf with the staged
// ones: both files checked (not locked, writable), the previous pair copied
// to a dated folder under C:\KTEMP\VAVOVIDI\COPIAS (the last ten kept), the
// new files written beside the old ones under temporary names and renamed
// over them. On any failure the source folder is left as it was and an
// Error says what failed. Returns the Windows path of the backup folder.
std::string CopiarHorariosAlOrigen(const std::string& sourceFolder);

// The journal the copy back keeps in the school's folder while it renames.
inline constexpr const char* kJournal = "PASARELA.DIARIO";

// At the start of an import: a copy back that was killed between its renames
// (its journal still in the school's folder) is undone, so that horgrup.dbf
// and horprof.dbf are again the pair they were; leftover "*.pasarela-*"
// files of the folder are removed. True when something was undone. Throws
// pasarela::Error, naming the files, when it cannot put them back.
bool RecuperarCopiaInterrumpida(const std::string& sourceFolder);

}  // namespace pasarela
