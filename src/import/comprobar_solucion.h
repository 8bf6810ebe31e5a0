// What the import refuses before anything is staged or replaced: a solution
// or an interchange set that would give the school a wrong timetable.
#pragma once

#include "data/transfer_context.h"

namespace pasarela {

// The solution C:\KTEMP\SOLUC.DBF: at least one row with a day, every day 1
// to 7, every slot 1 to 20. The centre: given and in the staged centro. The
// interchange set: not left half-written by an export, ASIGVALT.DBF and
// PROFT.DBF not empty. Throws pasarela::Error saying what is wrong.
void ComprobarSolucion(TransferContext& ctx);

}  // namespace pasarela
