#include "shell/window_interface.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>

#include "import/import_run.h"
#include "shell/control_plantilla.h"
#include "shell/control_profesores.h"
#include "shell/message_boxes.h"
#include "shell/progress_display.h"
#include "shell/report_window.h"

namespace pasarela::shell {

void WindowInterface::notice(const std::string& text) {
  if (importReport_ && importReport_->outcome == ImportReport::Outcome::Completed &&
      text == "Proceso finalizado") {
    progress_.finish();
    ReportWindow::ask(&window_, ReportWindow::Kind::Information, QStringLiteral("Proceso finalizado"),
                      QString::fromStdString(importSummaryText(*importReport_, sourceFolder_)));
    return;
  }
  showNotice(&window_, QString::fromStdString(text));
}

void WindowInterface::error(const std::string& text) { showErrorBox(&window_, text); }

void WindowInterface::busyCursor() {
  if (QApplication::overrideCursor())
    QApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
  else
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void WindowInterface::normalCursor() {
  while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

// The check windows are used with the normal cursor; the run sets the busy
// cursor again when they close.
void WindowInterface::showTeacherCheck() {
  normalCursor();
  progress_.finish();
  TControlProfesores window(&window_);
  window.runModal();
}

void WindowInterface::showTemplateCheck() {
  normalCursor();
  progress_.finish();
  TControlPlantilla window(&window_);
  window.runModal();
}

void WindowInterface::closeMainWindow() {
  progress_.finish();
  window_.close();
}

bool WindowInterface::confirmCopyBack(const std::string& problems) {
  normalCursor();
  progress_.finish();
  const QString text = QString::fromStdString(problems) +
                       QStringLiteral(
                           "\n¿Desea sustituir igualmente horgrup.dbf y horprof.dbf de %1?\n"
                           "Con Cancelar no se modifica ningún archivo de esa carpeta.")
                           .arg(QString::fromStdString(sourceFolder_));
  const bool goOn =
      ReportWindow::ask(&window_, ReportWindow::Kind::GoOnOrCancel,
                        QStringLiteral("El traspaso de la solución ha encontrado problemas"), text);
  if (goOn) busyCursor();
  return goOn;
}

void WindowInterface::progress(const std::string& step) { progress_.step(QString::fromStdString(step)); }

void WindowInterface::setImportReport(const ImportReport* report, const std::string& sourceFolder) {
  importReport_ = report;
  sourceFolder_ = sourceFolder;
}

void WindowInterface::runSteps(int steps) {
  if (steps > 0)
    progress_.start(steps);
  else
    progress_.finish();
}

}  // namespace pasarela::shell
