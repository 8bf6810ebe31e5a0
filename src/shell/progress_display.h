// The panel a run shows over the main window while it works: the step it is
// on and how far along the run is. Input stays blocked; the window repaints
// at each step.
#pragma once

#include <QFrame>

class QLabel;
class QProgressBar;

namespace pasarela::shell {

class ProgressDisplay : public QFrame {
  Q_OBJECT
 public:
  explicit ProgressDisplay(QWidget* window);

  // A run of `steps` steps begins (the panel shows at its first step).
  void start(int steps);
  void step(const QString& text);
  void finish();

  QString stepText() const;
  int stepsDone() const;

 private:
  void repaintNow();

  QLabel* title_ = nullptr;
  QLabel* step_ = nullptr;
  QProgressBar* bar_ = nullptr;
};

}  // namespace pasarela::shell
