// The data grid of the check windows: a table view over a TableModel.
// Enter moves to the next cell as Tab does; rows are never inserted or
// deleted from the keyboard; the title row is two lines high, bold, on light
// yellow; no fixed column; the horizontal scroll bar is always shown.
// Taking the focus starts editing the current record, losing it to another
// control of the window posts it, and moving to another row posts a changed
// record (all through the model).
#pragma once

#include <QTableView>

#include "widgets/table_model.h"

namespace pasarela::widgets {

class DataGrid : public QTableView {
  Q_OBJECT
 public:
  explicit DataGrid(QWidget* parent = nullptr);
  ~DataGrid() override;
  void setTableModel(TableModel* model);
  TableModel* tableModel() const { return model_; }
  // Hands the text of an open cell editor to the model.
  void commitOpenEditor();
  // commitOpenEditor() and post: what closing the window does.
  void commitAndPost();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  void onFocusChanged(QWidget* old, QWidget* now);
  bool contains(const QWidget* w) const;
  void applyColumnWidths();

  TableModel* model_ = nullptr;
  bool syncing_ = false;
};

}  // namespace pasarela::widgets
