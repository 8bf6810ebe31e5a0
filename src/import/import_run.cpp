#include "import/import_run.h"

#include <exception>
#include <optional>

#include "data/folders.h"
#include "data/staging.h"
#include "data/transfer_lock.h"
#include "data/winpath.h"
#include "import/comprobar_solucion.h"
#include "import/controlar_dni_profesores.h"
#include "import/copy_back.h"
#include "import/plantilla_horaria.h"
#include "import/slot_times.h"
#include "import/traspasar_solucion.h"

namespace pasarela {

namespace {

const char* const kDurationNotice =
    "La duración de este Proceso será más larga, en función de la cantidad de datos que tengamos en nuestro "
    "Horario.";

// A run that ends with an error gives the user the normal cursor back.
class CursorOnFailure {
 public:
  explicit CursorOnFailure(UserInterface& ui) : ui_(ui), pending_(std::uncaught_exceptions()) {}
  ~CursorOnFailure() {
    if (std::uncaught_exceptions() > pending_) ui_.normalCursor();
  }
  CursorOnFailure(const CursorOnFailure&) = delete;
  CursorOnFailure& operator=(const CursorOnFailure&) = delete;

 private:
  UserInterface& ui_;
  int pending_;
};

// A fresh staged copy of one timetable table of the source folder.
void stageTimetable(Table& component, const std::string& sourceFolder, const char* file) {
  component.close();
  const std::string staged = winpath::join(kStagingFolder, file);
  if (winpath::fileExists(staged)) winpath::deleteFile(staged);
  CopiarArchivo(staged, winpath::join(sourceFolder, file));
}

}  // namespace

void BImportarClick(TransferContext& ctx, const ImportOptions& options) {
  ImportReport ownReport;
  ImportReport& report = options.report ? *options.report : ownReport;
  report = ImportReport{};
  UserInterface& ui = ctx.ui;

  ui.notice(kDurationNotice);
  ui.busyCursor();
  CursorOnFailure cursor(ui);

  const std::string source = ctx.sourceFolder;
  ComprobarCarpetaOrigen(source);
  if (!winpath::folderExists(kStagingFolder)) winpath::createFolders(kStagingFolder);
  // One run at a time on this interchange folder and on this school's
  // folder, held until the run ends: two runs would share the staged copies
  // and could leave one solution's horgrup beside another's horprof.
  TransferLock interchangeLock(kInterchangeFolder);
  std::optional<TransferLock> schoolLock;
  if (winpath::folderExists(source)) schoolLock.emplace(source);
  RecuperarCopiaInterrumpida(source);

  if (!winpath::fileExists(kSolutionFile)) {
    ui.normalCursor();
    ui.notice("No se encuentra archivo SOLUC.DBF en C:\\KTEMP");
    if (ctx.numParametros == 2) {
      ctx.transformado = 0;
      ui.closeMainWindow();
    }
    report.outcome = ImportReport::Outcome::SolutionMissing;
    return;
  }

  ComprobarSolucion(ctx);
  ComprobarHorariosOrigen(source);
  ui.progress("Copiando horgrup.dbf y horprof.dbf de " + source);
  stageTimetable(ctx.tables.wwTableHorGrup, source, "horgrup.dbf");
  stageTimetable(ctx.tables.wwTableHorProf, source, "horprof.dbf");

  std::unique_ptr<Table> profesores = ControlarDniProfesores(ui);
  if (!profesores) {
    report.outcome = ImportReport::Outcome::TeachersWithoutDni;
    return;
  }

  Table asignaturas;
  asignaturas.setDatabaseName("");
  asignaturas.setTableName("C:\\KTEMP\\ASIGVALT.DBF");
  asignaturas.setIndexName("CODVALEN");
  asignaturas.open();

  HorasTabla HorasInicio{}, HorasFinal{};
  PlantillaHoraria(ctx, HorasInicio, HorasFinal);
  ui.progress("Traspasando la solución de C:\\KTEMP\\SOLUC.DBF");
  TraspasarSolucion(ctx, *profesores, asignaturas, HorasInicio, HorasFinal, report);
  profesores->close();
  asignaturas.close();

  // A timetable with rows missing their teacher or subject replaces the
  // school's only when the user says so.
  if (report.hasProblems() && !ui.confirmCopyBack(transferProblemsText(report))) {
    ui.normalCursor();
    report.outcome = ImportReport::Outcome::Cancelled;
    if (ctx.numParametros == 2) {
      ctx.transformado = 0;
      ui.closeMainWindow();
    }
    return;
  }

  if (!options.dryRun) {
    ui.progress("Copiando horgrup.dbf y horprof.dbf a " + source);
    report.backupFolder = CopiarHorariosAlOrigen(source);
  }

  ui.normalCursor();
  if (options.dryRun) {
    report.outcome = ImportReport::Outcome::DryRun;
  } else {
    ctx.transformado = 1;
    report.outcome = ImportReport::Outcome::Completed;
  }
  ui.notice("Proceso finalizado");
  if (ctx.numParametros == 2) ui.closeMainWindow();
}

}  // namespace pasarela
