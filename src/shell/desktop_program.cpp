#include "shell/desktop_program.h"

#include "base/os/system.h"
#include "shell/exportar_datos.h"
#include "shell/help_bridge.h"
#include "shell/pasarela_application.h"

namespace pasarela::shell {

int runDesktopProgram(int argc, char** argv, const std::function<void(TExportarDatos&)>& beforeCreate) {
  os::keepFreedMemory();
  PasarelaApplication app(argc, argv);
  QStringList parameters = QCoreApplication::arguments();
  parameters.removeFirst();
  TExportarDatos window(parameters);
  setUpHelp(&window);
  if (beforeCreate) beforeCreate(window);
  window.FormCreate();
  window.show();
  QObject::connect(&window, &TExportarDatos::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
  return app.exec();
}

}  // namespace pasarela::shell
