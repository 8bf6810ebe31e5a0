#include "shell/pasarela_application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <exception>

#include "shell/help_bridge.h"
#include "shell/message_boxes.h"
#include "widgets/guarded.h"

namespace pasarela::shell {

PasarelaApplication::PasarelaApplication(int& argc, char** argv) : QApplication(argc, argv) {
  helpFile_ = QString::fromLatin1(kHelpFile);
  // The name only: a display name would be appended to every window caption.
  setApplicationName(QString::fromLatin1(kAppTitle));
  // Qt's own texts (context menus, standard buttons) in Spanish, like ours.
  const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (qtTranslator_.load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qtbase"),
                         QStringLiteral("_"), translations))
    installTranslator(&qtTranslator_);
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
