#include "shell/progress_display.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "shell/window_fonts.h"

namespace pasarela::shell {

ProgressDisplay::ProgressDisplay(QWidget* window) : QFrame(window) {
  setObjectName(QStringLiteral("Progreso"));
  setFrameShape(QFrame::Box);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, QColor(255, 255, 255));
  p.setColor(QPalette::WindowText, QColor(0, 0, 128));
  setPalette(p);
  title_ = new QLabel(QStringLiteral("Procesando. Espere, por favor..."), this);
  title_->setFont(arialFont(13, true));
  step_ = new QLabel(this);
  step_->setFont(arialFont(12));
  step_->setWordWrap(true);
  bar_ = new QProgressBar(this);
  bar_->setTextVisible(true);
  bar_->setFormat(QStringLiteral("Paso %v de %m"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title_);
  layout->addWidget(step_);
  layout->addWidget(bar_);
  hide();
}

void ProgressDisplay::start(int steps) {
  bar_->setRange(0, steps);
  bar_->setValue(0);
  step_->clear();
}

void ProgressDisplay::step(const QString& text) {
  step_->setText(text);
  if (bar_->value() < bar_->maximum()) bar_->setValue(bar_->value() + 1);
  // Before the window is first shown (the stagings of its creation) there is
  // nothing to repaint, and its placement must not be disturbed.
  if (!window()->isVisible()) return;
  if (auto* window = parentWidget()) {
    const QSize size(qMin(440, window->width() - 40), 110);
    setGeometry(
        QRect(QPoint((window->width() - size.width()) / 2, (window->height() - size.height()) / 2), size));
  }
  show();
  raise();
  repaintNow();
}

void ProgressDisplay::finish() {
  hide();
  repaintNow();
}

QString ProgressDisplay::stepText() const { return step_->text(); }

int ProgressDisplay::stepsDone() const { return bar_->value(); }

// The run holds the thread: paint what changed (and what a closed box left
// behind) now, but leave the user's input queued as before.
void ProgressDisplay::repaintNow() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

}  // namespace pasarela::shell
