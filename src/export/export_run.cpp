#include "export/export_run.h"
#include "data/shell_flags.h"

namespace pasarela {

namespace {

// Puts the normal cursor back when a procedure fails, so that the window is
// not left with the hourglass until the next successful run.
class BusyCursor {
 public:
  explicit BusyCursor(UserInterface& ui) : ui_(ui) { ui_.busyCursor(); }
  ~BusyCursor() {
    if (released_) return;
    try {
      ui_.normalCursor();
    } catch (...) {
      // The run's own error is the one to report.
    }
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
  void release() {
    released_ = true;
    ui_.normalCursor();
  }

 private:
  UserInterface& ui_;
  bool released_ = false;
};

}  // namespace

void BExportarClick(TransferContext& ctx) {
  ctx.ui.notice(
      "La duración de este Proceso será más larga, en función de la cantidad de datos que tengamos en "
      "nuestra "
      "ORBENTA.");
  BusyCursor cursor(ctx.ui);
  Transformado = 1;
  ctx.ui.progress("Exportando asignaturas (ASIGVALT.DBF, ASIGNOMT.DBF)");
  ExportarAsignaturas(ctx);
  ctx.ui.progress("Exportando profesores (PROFT.DBF)");
  ExportarProfesores(ctx);
  ctx.ui.progress("Exportando aulas (AULAT.DBF)");
  ExportarAulas(ctx);
  ctx.ui.progress("Exportando alumnos (ALUMNOST.DBF)");
  ExportarAlumnos(ctx);
  ctx.ui.progress("Exportando horas de asignaturas por curso (ASIGCURT.DBF)");
  ExportarAsignaturasCurso(ctx);
  ctx.ui.progress("Exportando grupos y cursos (GRUPOST.DBF, CURSOST.DBF)");
  ExportarGrupos(ctx);
  ctx.ui.progress("Exportando asignaciones (ASIGT.DBF)");
  ExportarAsignaciones(ctx);
  cursor.release();
  ctx.ui.notice("Proceso finalizado");
  if (NumParametros == 2) ctx.ui.closeMainWindow();
}

}  // namespace pasarela
