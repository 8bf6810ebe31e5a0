// The mark an export leaves beside the interchange tables in C:\KTEMP, so
// that the import can tell a complete set from one left half-replaced by an
// export that was killed. The generator ignores the file.
#pragma once

#include <string>

namespace pasarela {

inline constexpr const char* kInterchangeMark = "C:\\KTEMP\\PASARELA.EXP";

// Written before the first interchange table is replaced.
void markInterchangeIncomplete();
// Written once all nine tables are in place.
void markInterchangeComplete();
// True when the last export began replacing the tables and never finished.
// A folder without the mark (tables from an earlier version) counts as
// complete.
bool interchangeIncomplete();

}  // namespace pasarela
