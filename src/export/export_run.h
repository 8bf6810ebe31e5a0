// The export run and its seven procedures, in the order they must run:
// ASIGVALT.DBF (subjects) is read by the student, course-hours and
// assignment exports, PROFT.DBF (teachers) by the assignment export.
#pragma once

#include "data/transfer_context.h"

namespace pasarela {

// The export button's run: notice, busy cursor, Transformado = 1, the seven
// procedures, normal cursor, "Proceso finalizado", close when embedded.
void BExportarClick(TransferContext& ctx);

void ExportarAsignaturas(TransferContext& ctx);
void ExportarProfesores(TransferContext& ctx);
void ExportarAulas(TransferContext& ctx);
void ExportarAlumnos(TransferContext& ctx);
void ExportarAsignaturasCurso(TransferContext& ctx);
void ExportarGrupos(TransferContext& ctx);
void ExportarAsignaciones(TransferContext& ctx);

}  // namespace pasarela
