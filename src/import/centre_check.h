// The centre an import is for must be one of the staged centro table's:
// without it the template has no times and every timetable row would carry
// an empty centre code.
#pragma once

#include <string>

#include "data/school_tables.h"

namespace pasarela {

// Throws pasarela::Error, naming the table, when `centre` is empty or is not
// a code of the staged centro table. Touches no file.
void checkCentre(SchoolTables& tables, const std::string& centre);

}  // namespace pasarela
