// What the two check windows of the import share: a gradient background, a
// grid with its navigator over the window's own table object, a heading, a
// red underlined title on peach, an explanation in navy, and "Salir". The
// table is opened when the window is created and closed when it is
// released; closing the window (Salir, title bar, Escape) posts a pending
// edit first and stays open when that post fails.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <memory>

#include "data/table.h"
#include "widgets/data_grid.h"
#include "widgets/gradient_panel.h"
#include "widgets/navigator.h"
#include "widgets/table_model.h"

namespace pasarela::shell {

struct CheckWindowLayout {
  QString caption;
  QSize clientSize;
  QString gridName;
  QRect navigatorBounds, gridBounds, headingBounds, titleBounds, textBounds, buttonBounds;
  QString heading, title, text;
};

class CheckWindow : public QDialog {
  Q_OBJECT
 public:
  ~CheckWindow() override;

  pasarela::widgets::DataGrid* grid() const { return grid_; }
  pasarela::widgets::Navigator* navigator() const { return navigator_; }
  pasarela::widgets::TableModel* model() const { return model_; }
  QPushButton* salir() const { return BitBtn1; }
  QLabel* titleLabel() const { return title_; }
  QLabel* textLabel() const { return text_; }
  Table& table() { return *table_; }

  // Shows the window modally (to its owner: help opened from it stays usable).
  int runModal();

  void reject() override;

 protected:
  CheckWindow(QWidget* owner, std::unique_ptr<Table> table,
              std::vector<pasarela::widgets::ColumnSpec> columns, const CheckWindowLayout& layout);

 private:
  std::unique_ptr<Table> table_;
  pasarela::widgets::GradientPanel* background_ = nullptr;
  pasarela::widgets::DataGrid* grid_ = nullptr;
  pasarela::widgets::Navigator* navigator_ = nullptr;
  pasarela::widgets::TableModel* model_ = nullptr;
  QLabel* heading_ = nullptr;
  QLabel* title_ = nullptr;
  QLabel* text_ = nullptr;
  QPushButton* BitBtn1 = nullptr;
};

}  // namespace pasarela::shell
