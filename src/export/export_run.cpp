#include "export/export_run.h"

#include "data/shell_flags.h"
#include "data/staging.h"
#include "data/transfer_lock.h"
#include "data/winpath.h"
#include "export/interchange_build.h"

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
  // One run at a time on the interchange folder, held until the set is in place.
  if (!winpath::folderExists(kInterchangeFolder)) winpath::createFolders(kInterchangeFolder);
  TransferLock lock(kInterchangeFolder);
  // Tables staged from the staging folder itself would be copies of copies.
  if (!ctx.sourceFolder.empty()) ComprobarCarpetaOrigen(ctx.sourceFolder);
  ComprobarTablasExportacion(ctx);
  // The procedures write a new set in the run's own folder; the previous
  // set stays in place until the whole new one is there.
  InterchangeBuild build;
  TransferContext inner{ctx.tables, ctx.ui, ctx.sourceFolder, ctx.centre, ctx.language, build.folder()};
  ctx.ui.progress("Exportando asignaturas (ASIGVALT.DBF, ASIGNOMT.DBF)");
  ExportarAsignaturas(inner);
  ctx.ui.progress("Exportando profesores (PROFT.DBF)");
  ExportarProfesores(inner);
  ctx.ui.progress("Exportando aulas (AULAT.DBF)");
  ExportarAulas(inner);
  ctx.ui.progress("Exportando alumnos (ALUMNOST.DBF)");
  ExportarAlumnos(inner);
  ctx.ui.progress("Exportando horas de asignaturas por curso (ASIGCURT.DBF)");
  ExportarAsignaturasCurso(inner);
  ctx.ui.progress("Exportando grupos y cursos (GRUPOST.DBF, CURSOST.DBF)");
  ExportarGrupos(inner);
  ctx.ui.progress("Exportando asignaciones (ASIGT.DBF)");
  ExportarAsignaciones(inner);
  build.replaceInterchangeSet();
  cursor.release();
  ctx.ui.notice("Proceso finalizado");
  if (NumParametros == 2) ctx.ui.closeMainWindow();
}

}  // namespace pasarela
