// The centre's daily time-slot template: built from lhortipo, written to
// PLANTILLA.DBF for the user to check, read back into the slot-time tables.
#pragma once

#include "data/transfer_context.h"
#include "import/slot_times.h"

namespace pasarela {

inline constexpr const char* kTemplateFolder = "C:\\KTEMP\\Vavovidi";

void PlantillaHoraria(TransferContext& ctx, HorasTabla& HorasInicio, HorasTabla& HorasFinal);

}  // namespace pasarela
