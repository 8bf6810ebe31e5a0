// What the runs need of the user: the Qt window, the CLI and the tests each
// plug in their own.
#pragma once

#include <string>

namespace pasarela {

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // A modal message box with the application's title and OK.
  virtual void notice(const std::string& text) = 0;
  // The error message box (stop icon): used by boundaries that catch Error.
  virtual void error(const std::string& text) = 0;
  virtual void busyCursor() = 0;
  virtual void normalCursor() = 0;
  // The modal check window over C:\KTEMP\PROFT.DBF ("Control de Profesores").
  // It opens its own table object and returns when the user closes it.
  virtual void showTeacherCheck() = 0;
  // The modal check window over the staged PLANTILLA.DBF ("Control de
  // Plantilla Horaria"); it opens its own table object.
  virtual void showTemplateCheck() = 0;
  // Closes the main window (its close hook writes Tempolis.ini when embedded).
  virtual void closeMainWindow() = 0;
  // The transfer found problems (`problems` says which, in Spanish): asks
  // whether to replace the school's files anyway. False cancels the run.
  virtual bool confirmCopyBack([[maybe_unused]] const std::string& problems) { return true; }
  // The step a run is starting ("Copiando los datos de OB", each procedure),
  // for a progress display.
  virtual void progress([[maybe_unused]] const std::string& step) {}
};

// The error box appends a full stop when the message's last character comes
// after '.' in character-code order.
std::string errorBoxText(const std::string& message);

}  // namespace pasarela
