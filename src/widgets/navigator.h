// The ten-button navigator bar bound to a grid's table model: first, back
// ten, prior, next, forward ten, last, edit, post, cancel, refresh. No
// insert or delete button. The buttons never take the focus, so the grid
// keeps its pending edit while the user navigates.
#pragma once

#include <QToolButton>
#include <QWidget>
#include <array>

#include "widgets/data_grid.h"

namespace pasarela::widgets {

class Navigator : public QWidget {
  Q_OBJECT
 public:
  enum Button { First, PriorTen, Prior, Next, NextTen, Last, Edit, Post, Cancel, Refresh, ButtonCount };

  explicit Navigator(QWidget* parent = nullptr);
  void setGrid(DataGrid* grid);
  QToolButton* button(Button b) const { return buttons_.at(b); }
  static QString hint(Button b);

  // What a click on the button does.
  void trigger(Button b);

 private:
  std::array<QToolButton*, ButtonCount> buttons_{};
  DataGrid* grid_ = nullptr;
};

}  // namespace pasarela::widgets
