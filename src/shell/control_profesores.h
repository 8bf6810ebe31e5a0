// TControlProfesores: the teachers of C:\KTEMP\PROFT.DBF in a grid, so the
// user can type the missing identity numbers (DNI). Teachers without one are
// painted in the attention colour; F3 goes to the next of them.
#pragma once

#include "shell/check_window.h"

namespace pasarela::shell {

class TControlProfesores : public CheckWindow {
  Q_OBJECT
 public:
  explicit TControlProfesores(QWidget* owner);
  // Moves to the next teacher without a number (F3); false when none is left.
  bool nextWithoutDni();
};

}  // namespace pasarela::shell
