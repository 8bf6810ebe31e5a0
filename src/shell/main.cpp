// PasarelaHoraria: the desktop program.
//
// Stand-alone: started without parameters (or with any number but two), one
// window offering both transfers. Embedded: the host starts it with the
// direction ("importar" or "exportar") and its window's handle in
// hexadecimal; the window sits inside the host's and Tempolis.ini beside the
// executable tells the host whether a transfer took place.
#include <QTimer>
#include <cstdio>

#include "shell/exportar_datos.h"
#include "shell/help_bridge.h"
#include "shell/message_boxes.h"
#include "shell/pasarela_application.h"

namespace {

// For the end-to-end tests only: PASARELA_TEST_ANSWER_BOXES answers every
// message box with OK and prints it; PASARELA_TEST_PRESS names buttons of
// the main window ("BExportar,BClose") to press one after the other once the
// event loop runs.
void installTestHooks(pasarela::shell::TExportarDatos& window) {
  if (qEnvironmentVariableIsSet("PASARELA_TEST_ANSWER_BOXES")) {
    pasarela::shell::setMessageBoxHook([](pasarela::shell::BoxKind kind, const QString& text) {
      std::fprintf(stderr, "%s: %s\n", kind == pasarela::shell::BoxKind::Error ? "error" : "notice",
                   text.toUtf8().constData());
    });
  }
  const QStringList presses = qEnvironmentVariable("PASARELA_TEST_PRESS").split(',', Qt::SkipEmptyParts);
  int delay = 1000;
  for (const QString& name : presses) {
    QTimer::singleShot(delay, &window, [&window, name] {
      if (auto* button = window.findChild<QPushButton*>(name)) button->click();
    });
    delay += 700;
  }
}

}  // namespace

int main(int argc, char** argv) {
  pasarela::shell::PasarelaApplication app(argc, argv);
  QStringList parameters = QCoreApplication::arguments();
  parameters.removeFirst();
  pasarela::shell::TExportarDatos window(parameters);
  pasarela::shell::setUpHelp(&window);
  installTestHooks(window);
  window.FormCreate();
  window.show();
  QObject::connect(&window, &pasarela::shell::TExportarDatos::closed, &app, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  return app.exec();
}
