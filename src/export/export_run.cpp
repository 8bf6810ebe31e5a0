#include "export/export_run.h"

#include "data/staging.h"
#include "data/table.h"
#include "data/transfer_lock.h"
#include "data/winpath.h"
#include "export/interchange_build.h"
#include "export/interchange_tables.h"

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

// The user interface the procedures see: the caller's, with their notices
// (the only ones they give are warnings) kept for the report as well.
class WarningRecorder : public UserInterface {
 public:
  WarningRecorder(UserInterface& ui, std::vector<std::string>& warnings) : ui_(ui), warnings_(warnings) {}
  void notice(const std::string& text) override {
    warnings_.push_back(text);
    ui_.notice(text);
  }
  void error(const std::string& text) override { ui_.error(text); }
  void busyCursor() override { ui_.busyCursor(); }
  void normalCursor() override { ui_.normalCursor(); }
  void showTeacherCheck() override { ui_.showTeacherCheck(); }
  void showTemplateCheck() override { ui_.showTemplateCheck(); }
  void closeMainWindow() override { ui_.closeMainWindow(); }
  bool confirmCopyBack(const std::string& problems) override { return ui_.confirmCopyBack(problems); }
  void progress(const std::string& step) override { ui_.progress(step); }

 private:
  UserInterface& ui_;
  std::vector<std::string>& warnings_;
};

// The seven procedures in the order they must run, each with the step the
// progress display shows.
struct ExportStep {
  const char* progress;
  void (*run)(TransferContext&);
};
const ExportStep kExportSteps[] = {
    {"Exportando asignaturas (ASIGVALT.DBF, ASIGNOMT.DBF)", ExportarAsignaturas},
    {"Exportando profesores (PROFT.DBF)", ExportarProfesores},
    {"Exportando aulas (AULAT.DBF)", ExportarAulas},
    {"Exportando alumnos (ALUMNOST.DBF)", ExportarAlumnos},
    {"Exportando horas de asignaturas por curso (ASIGCURT.DBF)", ExportarAsignaturasCurso},
    {"Exportando grupos y cursos (GRUPOST.DBF, CURSOST.DBF)", ExportarGrupos},
    {"Exportando asignaciones (ASIGT.DBF)", ExportarAsignaciones},
};

}  // namespace

ExportReport BExportarClick(TransferContext& ctx) {
  ctx.ui.notice(
      "La duración de este Proceso será más larga, en función de la cantidad de datos que tengamos en "
      "nuestra "
      "ORBENTA.");
  BusyCursor cursor(ctx.ui);
  ctx.transformado = 1;
  // One run at a time on the interchange folder, held until the set is in place.
  if (!winpath::folderExists(kInterchangeFolder)) winpath::createFolders(kInterchangeFolder);
  TransferLock lock(kInterchangeFolder);
  // Tables staged from the staging folder itself would be copies of copies.
  if (!ctx.sourceFolder.empty()) ComprobarCarpetaOrigen(ctx.sourceFolder);
  ComprobarTablasExportacion(ctx);
  // The procedures write a new set in the run's own folder; the previous
  // set stays in place until the whole new one is there.
  InterchangeBuild build;
  ExportReport report;
  WarningRecorder procedureUi(ctx.ui, report.warnings);
  TransferContext inner{ctx.tables,   procedureUi,    ctx.sourceFolder, ctx.centre,
                        ctx.language, build.folder(), ctx.numParametros};
  for (const ExportStep& step : kExportSteps) {
    ctx.ui.progress(step.progress);
    step.run(inner);
  }
  for (const char* base : kInterchangeTables) {
    const std::string name = std::string(base) + ".DBF";
    report.tables.push_back(
        {winpath::join(kInterchangeFolder, name), Table::recordsInFile(winpath::join(build.folder(), name))});
  }
  build.replaceInterchangeSet();
  cursor.release();
  ctx.ui.notice("Proceso finalizado");
  if (ctx.numParametros == 2) ctx.ui.closeMainWindow();
  return report;
}

}  // namespace pasarela
