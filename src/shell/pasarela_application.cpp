#include "shell/pasarela_application.h"

#include <exception>

#include "shell/help_bridge.h"
#include "shell/message_boxes.h"
#include "widgets/guarded.h"

namespace pasarela::shell {

PasarelaApplication::PasarelaApplication(int& argc, char** argv) : QApplication(argc, argv) {
  helpFile_ = QString::fromLatin1(kHelpFile);
  setApplicationName(QString::fromLatin1(kAppTitle));
  setApplicationDisplayName(QString::fromLatin1(kAppTitle));
  pasarela::widgets::setErrorHandler([](const std::string& message) { showErrorBox(nullptr, message); });
}

bool PasarelaApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    pasarela::widgets::reportError(e.what());
  }
  return false;
}

}  // namespace pasarela::shell
