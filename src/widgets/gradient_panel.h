// A panel whose background runs from a start colour through a middle colour
// to an end colour, top to bottom. Children are placed on it as on any panel.
#pragma once

#include <QColor>
#include <QWidget>

namespace pasarela::widgets {

class GradientPanel : public QWidget {
  Q_OBJECT
 public:
  explicit GradientPanel(QWidget* parent = nullptr);
  void setColors(const QColor& start, const QColor& middle, const QColor& end);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor start_{Qt::white};
  QColor middle_{Qt::white};
  QColor end_{Qt::white};
};

}  // namespace pasarela::widgets
