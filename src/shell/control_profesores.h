// TControlProfesores: the teachers of C:\KTEMP\PROFT.DBF in a grid, so the
// user can type the missing identity numbers (DNI).
#pragma once

#include "shell/check_window.h"

namespace pasarela::shell {

class TControlProfesores : public CheckWindow {
  Q_OBJECT
 public:
  explicit TControlProfesores(QWidget* owner);
};

}  // namespace pasarela::shell
