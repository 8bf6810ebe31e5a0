// CopiarDatosOrigen: the staged copies of the school's tables.
#include <string>

#include "base/error.h"
#include "base/os/file_system.h"
#include "data/folders.h"
#include "data/staging.h"
#include "data/transfer_lock.h"
#include "data/winpath.h"

namespace pasarela {

namespace {

struct StagingStep {
  Table SchoolTables::*component;  // closed before its file is replaced; null: none
  const char* fileName;
  const char* stagedPath;
};

// The ten steps, in order: a failed copy ends the staging, so the order
// decides what is left staged.
constexpr StagingStep kSteps[] = {
    {&SchoolTables::wwTableGrupos, "grupos.dbf", "C:\\KTEMP\\VAVOVIDI\\grupos.dbf"},
    {&SchoolTables::wwTableProfesor, "profesor.dbf", "C:\\KTEMP\\VAVOVIDI\\profesor.dbf"},
    {&SchoolTables::wwTableHorGrup, "horgrup.dbf", "C:\\KTEMP\\VAVOVIDI\\horgrup.dbf"},
    {&SchoolTables::wwTableAsigAlum, "asigalum.dbf", "C:\\KTEMP\\VAVOVIDI\\asigalum.dbf"},
    {&SchoolTables::wwTableAsignat, "asignat.dbf", "C:\\KTEMP\\VAVOVIDI\\asignat.dbf"},
    {&SchoolTables::wwTableAulas, "aulas.dbf", "C:\\KTEMP\\VAVOVIDI\\aulas.dbf"},
    {&SchoolTables::wwTableAlumnos, "alumnos.dbf", "C:\\KTEMP\\VAVOVIDI\\alumnos.dbf"},
    {nullptr, "alumnos.fpt", "C:\\KTEMP\\VAVOVIDI\\alumnos.fpt"},  // closed with alumnos.dbf
    {&SchoolTables::wwTableCentro, "centro.dbf", "C:\\KTEMP\\VAVOVIDI\\centro.dbf"},
    {&SchoolTables::wwTableLhortipo, "lhortipo.dbf", "C:\\KTEMP\\VAVOVIDI\\lhortipo.dbf"},
};

// Deletes a staged copy; a failure is ignored (the copy then reports it).
// A file in exclusive use by another program cannot be deleted on Windows;
// it is left in place here too, so that the copy meets it.
void deleteStagedCopy(const std::string& stagedPath) {
  if (!winpath::fileExists(stagedPath)) return;
  if (os::heldExclusivelyElsewhere(winpath::resolve(stagedPath))) return;
  winpath::deleteFile(stagedPath);
}

}  // namespace

void CopiarDatosOrigen(SchoolTables& tables, const std::string& sourceFolder) {
  if (!winpath::folderExists(kStagingFolder)) winpath::createFolders(kStagingFolder);
  // The staged copies belong to whichever transfer holds C:\KTEMP: another
  // run's import or export reads them while it runs.
  TransferLock lock(kInterchangeFolder);
  for (const StagingStep& step : kSteps) {
    if (step.component) (tables.*step.component).close();
    // A drive root ("C:\") gives a doubled backslash, which resolves.
    const std::string source = sourceFolder + "\\" + step.fileName;
    deleteStagedCopy(step.stagedPath);
    CopiarArchivo(step.stagedPath, source);
  }
}

}  // namespace pasarela
