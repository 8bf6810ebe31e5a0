// The solution transfer: C:\KTEMP\SOLUC.DBF rewrites the staged horprof and
// horgrup, one pair of rows per solution row with a day.
#pragma once

#include "data/table.h"
#include "data/transfer_context.h"
#include "import/import_run.h"
#include "import/slot_times.h"

namespace pasarela {

// `profesores`: PROFT.DBF open in physical order; `asignaturas`: ASIGVALT.DBF
// open with the active index CODVALEN. Counts and unmatched codes go to
// `report`.
void TraspasarSolucion(TransferContext& ctx, Table& profesores, Table& asignaturas,
                       const HorasTabla& HorasInicio, const HorasTabla& HorasFinal, ImportReport& report);

}  // namespace pasarela
