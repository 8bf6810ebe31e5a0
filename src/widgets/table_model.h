// A Qt model over one open table object: one row per visible record, one
// column per field of the column list. Values are read once into a cache
// (the check windows' tables are small) so painting never moves the table's
// current record; writes go through the table, which keeps the record
// pending until it is posted on a row change, on leaving the grid or from
// the navigator.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/table.h"

namespace pasarela::widgets {

struct ColumnSpec {
  std::string field;  // dBase field name
  QString title;      // column title
  int widthChars;     // display width in characters
  bool editable;
  // Refuses a typed value by throwing pasarela::Error (optional).
  std::function<void(const QString& text)> check = {};
};

class TableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  static const QColor kCellColor;       // F0 FB FF
  static const QColor kAlternateColor;  // CF D9 FE
  static const QColor kTitleColor;      // FE E4 A9

  // `table` must be open and outlive the model.
  TableModel(Table& table, std::vector<ColumnSpec> columns, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // Writes through the table, starting an edit of the row's record when
  // the table is browsing. A value the field cannot take (not a whole number
  // for a number, longer than a text field, refused by the column's check) is
  // reported to the error handler and refused (returns false).
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  const ColumnSpec& column(int c) const { return columns_.at(static_cast<size_t>(c)); }
  Table& table() { return table_; }
  int currentRow() const { return current_; }

  // Moves the table to the row's record: a changed pending record is posted
  // first, an unchanged one is dropped, as leaving a record does.
  void setCurrentRow(int row);
  void moveBy(int rows);
  // The grid's focus-in: edit the current record unless already editing.
  void startEdit();
  // The grid's focus-out and the navigator's post: post while editing.
  void postPending();
  void cancelPending();
  // Posts, re-reads the file and the cache.
  void refresh();
  // Re-reads every visible record into the cache (table must be browsing).
  void reload();
  bool editing() const;

  // Rows that need the user's attention (by their shown values) are painted
  // in the attention colour.
  static const QColor kAttentionColor;  // FF C8 C8
  void setAttention(std::function<bool(const std::vector<QString>& row)> attention);
  bool needsAttention(int row) const;

 signals:
  void currentRowChanged(int row);

 private:
  std::vector<QString> readCurrent() const;
  void refreshCachedRow(int row);
  void writeField(int column, const QString& text);

  Table& table_;
  std::vector<ColumnSpec> columns_;
  std::vector<std::uint32_t> recNos_;
  std::vector<std::vector<QString>> cache_;
  int current_ = -1;
  std::function<bool(const std::vector<QString>& row)> attention_;
};

}  // namespace pasarela::widgets
