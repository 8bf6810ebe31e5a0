#include "widgets/data_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <QTimer>
#include <algorithm>

#include "widgets/guarded.h"

namespace pasarela::widgets {

namespace {

// Enter in a cell editor hands the text over and moves on, as Tab does.
class EnterAsTabDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        auto* editor = qobject_cast<QWidget*>(object);
        emit commitData(editor);
        emit closeEditor(editor, QAbstractItemDelegate::EditNextItem);
        return true;
      }
    }
    return QStyledItemDelegate::eventFilter(object, event);
  }
};

}  // namespace

DataGrid::DataGrid(QWidget* parent) : QTableView(parent) {
  setItemDelegate(new EnterAsTabDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setTabKeyNavigation(true);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  verticalHeader()->hide();
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setStyleSheet(
      QStringLiteral("QHeaderView::section { background-color: #FEE4A9; font-weight: bold; padding-left: 3px;"
                     " border: 1px solid #A0A0A0; border-top: none; border-left: none; }"));
  QFont bold = horizontalHeader()->font();
  bold.setBold(true);
  horizontalHeader()->setFont(bold);
  horizontalHeader()->setFixedHeight(2 * QFontMetrics(bold).lineSpacing() + 6);
  verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 6);
  connect(qApp, &QApplication::focusChanged, this, &DataGrid::onFocusChanged);
}

// The focus moves while the widget is being torn down: stop listening first.
DataGrid::~DataGrid() { disconnect(qApp, nullptr, this, nullptr); }

void DataGrid::setTableModel(TableModel* model) {
  model_ = model;
  setModel(model);
  applyColumnWidths();
  connect(model, &TableModel::currentRowChanged, this, [this](int row) {
    if (row < 0 || syncing_) return;
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    syncing_ = true;
    setCurrentIndex(model_->index(row, column));
    syncing_ = false;
  });
  connect(model, &QAbstractItemModel::modelReset, this, [this] {
    if (model_->currentRow() >= 0) {
      syncing_ = true;
      setCurrentIndex(model_->index(model_->currentRow(), 0));
      syncing_ = false;
    }
  });
  if (model->currentRow() >= 0) {
    syncing_ = true;
    setCurrentIndex(model->index(model->currentRow(), 0));
    syncing_ = false;
  }
}

// Widths are given in characters of the grid's font, like the dataset's
// display widths; a column is never narrower than its title.
void DataGrid::applyColumnWidths() {
  const QFontMetrics metrics(font());
  const QFontMetrics titleMetrics(horizontalHeader()->font());
  const int charWidth = metrics.horizontalAdvance(QLatin1Char('0'));
  for (int c = 0; c < model_->columnCount(); ++c) {
    const int title = titleMetrics.horizontalAdvance(model_->column(c).title) + 10;
    setColumnWidth(c, std::max(model_->column(c).widthChars * charWidth + 8, title));
  }
}

bool DataGrid::contains(const QWidget* w) const { return w && (w == this || isAncestorOf(w)); }

void DataGrid::onFocusChanged(QWidget* old, QWidget* now) {
  if (!model_ || !now || now->window() != window()) return;  // another window took it
  if (contains(now) && !contains(old)) guarded([this] { model_->startEdit(); });
  if (contains(old) && !contains(now)) guarded([this] { model_->postPending(); });
}

void DataGrid::commitOpenEditor() {
  QWidget* editor = QApplication::focusWidget();
  if (state() == QAbstractItemView::EditingState && editor && viewport()->isAncestorOf(editor)) {
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
}

void DataGrid::commitAndPost() {
  commitOpenEditor();
  if (model_) model_->postPending();
}

void DataGrid::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    const QModelIndex next = moveCursor(QAbstractItemView::MoveNext, Qt::NoModifier);
    if (next.isValid()) setCurrentIndex(next);
    event->accept();
    return;
  }
  if (key == Qt::Key_Insert || (key == Qt::Key_Delete && (event->modifiers() & Qt::ControlModifier))) {
    event->accept();  // no row insertion or deletion from the keyboard
    return;
  }
  QTableView::keyPressEvent(event);
}

void DataGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (syncing_ || !model_ || !current.isValid() || current.row() == model_->currentRow()) return;
  const bool moved = guarded([&] { model_->setCurrentRow(current.row()); });
  if (!moved) {
    // The pending record could not be posted: stay on it.
    const QModelIndex back = model_->index(model_->currentRow(), current.column());
    QTimer::singleShot(0, this, [this, back] {
      syncing_ = true;
      setCurrentIndex(back);
      syncing_ = false;
    });
  }
}

}  // namespace pasarela::widgets
