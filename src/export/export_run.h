// The export run and its seven procedures, in the order they must run:
// ASIGVALT.DBF (subjects) is read by the student, course-hours and
// assignment exports, PROFT.DBF (teachers) by the assignment export.
#pragma once

#include <string>
#include <vector>

#include "data/transfer_context.h"

namespace pasarela {

// What an export wrote, for callers that print it (the CLI) or test it.
struct ExportReport {
  struct TableRecords {
    std::string table;  // Windows path: "C:\KTEMP\AULAT.DBF"
    long long records = 0;
    bool operator==(const TableRecords&) const = default;
  };
  std::vector<TableRecords> tables;   // the nine, in the order they are written
  std::vector<std::string> warnings;  // the procedures' notices (room codes cut to fit, ...)
};

// The export button's run: notice, busy cursor, ctx.transformado = 1, the
// seven procedures, normal cursor, "Proceso finalizado", close when embedded.
ExportReport BExportarClick(TransferContext& ctx);

// Refuses to start when a staged table the export reads is missing or
// cannot be opened, naming the school's own file.
void ComprobarTablasExportacion(TransferContext& ctx);

void ExportarAsignaturas(TransferContext& ctx);
void ExportarProfesores(TransferContext& ctx);
void ExportarAulas(TransferContext& ctx);
void ExportarAlumnos(TransferContext& ctx);
void ExportarAsignaturasCurso(TransferContext& ctx);
void ExportarGrupos(TransferContext& ctx);
void ExportarAsignaciones(TransferContext& ctx);

}  // namespace pasarela
