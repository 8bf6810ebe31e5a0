#include "shell/window_interface.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>

#include "shell/control_plantilla.h"
#include "shell/control_profesores.h"
#include "shell/message_boxes.h"

namespace pasarela::shell {

void WindowInterface::notice(const std::string& text) { showNotice(&window_, QString::fromStdString(text)); }

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
  TControlProfesores window(&window_);
  window.runModal();
}

void WindowInterface::showTemplateCheck() {
  normalCursor();
  TControlPlantilla window(&window_);
  window.runModal();
}

void WindowInterface::closeMainWindow() { window_.close(); }

}  // namespace pasarela::shell
