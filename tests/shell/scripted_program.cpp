// The desktop program as a user drives it in the embedding tests: started
// like PasarelaHoraria, it presses the button of the direction it was given
// once the window is up and answers every box with OK.
#include <QPushButton>
#include <QTimer>

#include "modal_answerer.h"
#include "shell/desktop_program.h"
#include "shell/exportar_datos.h"

int main(int argc, char** argv) {
  const bool importing = argc > 1 && QByteArray(argv[1]).toLower() == "importar";
  std::unique_ptr<shelltest::ModalAnswerer> answerer;
  return pasarela::shell::runDesktopProgram(argc, argv, [&](pasarela::shell::TExportarDatos& window) {
    answerer = std::make_unique<shelltest::ModalAnswerer>();
    QPushButton* button = importing ? window.BImportar : window.BExportar;
    QTimer::singleShot(1000, button, [button] { button->click(); });
  });
}
