// TControlPlantilla: the centre's 20-slot template (the staged
// PLANTILLA.DBF) in a grid, so the user can check and correct the times.
#pragma once

#include "shell/check_window.h"

namespace pasarela::shell {

class TControlPlantilla : public CheckWindow {
  Q_OBJECT
 public:
  explicit TControlPlantilla(QWidget* owner);
};

}  // namespace pasarela::shell
