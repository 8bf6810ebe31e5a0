#include "widgets/table_model.h"

#include <QBrush>
#include <QFont>
#include <algorithm>

#include "base/error.h"
#include "widgets/guarded.h"

namespace pasarela::widgets {

const QColor TableModel::kCellColor{0xF0, 0xFB, 0xFF};
const QColor TableModel::kAlternateColor{0xCF, 0xD9, 0xFE};
const QColor TableModel::kTitleColor{0xFE, 0xE4, 0xA9};

TableModel::TableModel(Table& table, std::vector<ColumnSpec> columns, QObject* parent)
    : QAbstractTableModel(parent), table_(table), columns_(std::move(columns)) {
  reload();
}

int TableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(cache_.size());
}

int TableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return cache_[static_cast<size_t>(index.row())][static_cast<size_t>(index.column())];
    case Qt::BackgroundRole:
      return QBrush(index.row() % 2 == 0 ? kCellColor : kAlternateColor);
    case Qt::ForegroundRole:
      return QBrush(Qt::black);
    default:
      return {};
  }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return column(section).title;
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::BackgroundRole:
      return QBrush(kTitleColor);
    case Qt::FontRole: {
      QFont font;
      font.setBold(true);
      return font;
    }
    default:
      return {};
  }
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (column(index.column()).editable) f |= Qt::ItemIsEditable;
  return f;
}

bool TableModel::editing() const {
  const TableState s = table_.state();
  return s == TableState::Edit || s == TableState::Insert;
}

std::vector<QString> TableModel::readCurrent() const {
  std::vector<QString> values;
  values.reserve(columns_.size());
  for (const ColumnSpec& c : columns_) values.push_back(QString::fromStdString(table_.asString(c.field)));
  return values;
}

void TableModel::refreshCachedRow(int row) {
  if (row < 0 || row >= rowCount()) return;
  cache_[static_cast<size_t>(row)] = readCurrent();
  emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void TableModel::reload() {
  beginResetModel();
  const std::uint32_t keep = table_.recNo();
  recNos_.clear();
  cache_.clear();
  current_ = -1;
  for (table_.first(); !table_.eof(); table_.next()) {
    recNos_.push_back(table_.recNo());
    cache_.push_back(readCurrent());
  }
  if (!recNos_.empty()) {
    current_ = 0;
    for (size_t i = 0; i < recNos_.size(); ++i)
      if (recNos_[i] == keep) current_ = static_cast<int>(i);
    table_.goTo(recNos_[static_cast<size_t>(current_)]);
  }
  endResetModel();
  emit currentRowChanged(current_);
}

void TableModel::setCurrentRow(int row) {
  if (row < 0 || row >= rowCount() || row == current_) return;
  if (editing()) {
    if (table_.modified())
      table_.post();
    else
      table_.cancel();
    refreshCachedRow(current_);
  }
  table_.goTo(recNos_[static_cast<size_t>(row)]);
  current_ = row;
  emit currentRowChanged(row);
}

void TableModel::moveBy(int rows) {
  if (rowCount() == 0) return;
  setCurrentRow(std::clamp(current_ + rows, 0, rowCount() - 1));
}

void TableModel::startEdit() {
  if (current_ < 0 || editing()) return;
  table_.edit();
}

void TableModel::postPending() {
  if (!editing()) return;
  table_.post();
  refreshCachedRow(current_);
}

void TableModel::cancelPending() {
  if (!editing()) return;
  table_.cancel();
  refreshCachedRow(current_);
}

void TableModel::refresh() {
  postPending();
  table_.refresh();
  reload();
}

// Integer fields take their text the way the dataset's integer fields do:
// empty clears the field, anything but a whole number is refused.
void TableModel::writeField(int column, const QString& text) {
  const std::string& field = columns_.at(static_cast<size_t>(column)).field;
  const FieldInfo info = table_.fieldInfo(table_.fieldIndex(field));
  const bool integral = info.type == 'I' || ((info.type == 'N' || info.type == 'F') && info.decimals == 0);
  if (!integral) {
    table_.setString(field, text.toStdString());
    return;
  }
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) {
    table_.clear(field);
    return;
  }
  bool ok = false;
  const qlonglong value = trimmed.toLongLong(&ok);
  if (!ok) throw Error("'" + text.toStdString() + "' no es un valor entero válido");
  table_.setInteger(field, value);
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || !column(index.column()).editable) return false;
  const QString text = value.toString();
  QString& cached = cache_[static_cast<size_t>(index.row())][static_cast<size_t>(index.column())];
  if (text == cached) return true;  // nothing changed: the record is not touched
  // Called from the view's editor: an error is shown here and the cell keeps
  // its value.
  return guarded([&] {
    setCurrentRow(index.row());
    if (!editing()) table_.edit();
    writeField(index.column(), text);
    cached = QString::fromStdString(table_.asString(columns_[static_cast<size_t>(index.column())].field));
    emit dataChanged(index, index);
  });
}

}  // namespace pasarela::widgets
