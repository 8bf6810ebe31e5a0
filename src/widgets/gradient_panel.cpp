#include "widgets/gradient_panel.h"

#include <QLinearGradient>
#include <QPainter>

namespace pasarela::widgets {

GradientPanel::GradientPanel(QWidget* parent) : QWidget(parent) {}

void GradientPanel::setColors(const QColor& start, const QColor& middle, const QColor& end) {
  start_ = start;
  middle_ = middle;
  end_ = end;
  update();
}

void GradientPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QLinearGradient gradient(0, 0, 0, height());
  gradient.setColorAt(0.0, start_);
  gradient.setColorAt(0.5, middle_);
  gradient.setColorAt(1.0, end_);
  painter.fillRect(rect(), gradient);
}

}  // namespace pasarela::widgets
