// The staged copies of the school's tables, and the file copy that makes
// them (the import stages horgrup and horprof with it too; the copy back into
// the school's folder is copy_back's).
#pragma once

#include <string>

#include "data/school_tables.h"

namespace pasarela {

// Copies `origen` over `destino` (full Windows paths, destination first) in
// 2048-byte blocks. A destination ending in '\' or ':' names a folder: the
// source's file name is appended. A missing source does nothing. Failures
// throw IoError with the operating system's code mapped to the message
// table ("Acceso al archivo denegado", "Disco lleno", "Error de E/S 32").
void CopiarArchivo(const std::string& destino, const std::string& origen);

// Stages the ten files from `sourceFolder` into C:\KTEMP\VAVOVIDI, closing
// each table component just before its file is replaced.
void CopiarDatosOrigen(SchoolTables& tables, const std::string& sourceFolder);

// Refuses a source folder that is the staging folder itself (whatever its
// spelling): staging from it or copying back into it would delete its own
// files. Throws pasarela::Error before anything is touched.
void ComprobarCarpetaOrigen(const std::string& sourceFolder);

}  // namespace pasarela
