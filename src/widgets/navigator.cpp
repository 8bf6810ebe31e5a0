#include "widgets/navigator.h"

#include <QHBoxLayout>

#include "widgets/guarded.h"

namespace pasarela::widgets {

namespace {
const char* const kHints[Navigator::ButtonCount] = {
    "Move to first record",
    "Move backward 10 records",
    "Move to prior record",
    "Move to next record",
    "Move forward 10 records",
    "Move to last record",
    "Edit current record",
    "Post changes of current record",
    "Cancel changes made to current record",
    "Refresh the contents of the dataset",
};
const char* const kGlyphs[Navigator::ButtonCount] = {
    "|\u25C0", "\u25C0\u25C0", "\u25C0", "\u25B6", "\u25B6\u25B6",
    "\u25B6|", "\u270E",       "\u2714", "\u2718", "\u21BB",
};
const char* const kNames[Navigator::ButtonCount] = {
    "nbFirst", "nbPriorTen", "nbPrior", "nbNext",   "nbNextTen",
    "nbLast",  "nbEdit",     "nbPost",  "nbCancel", "nbRefresh",
};
}  // namespace

QString Navigator::hint(Button b) { return QString::fromUtf8(kHints[b]); }

Navigator::Navigator(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (int i = 0; i < ButtonCount; ++i) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(kNames[i]));
    b->setText(QString::fromUtf8(kGlyphs[i]));
    b->setToolTip(hint(static_cast<Button>(i)));
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(25, 25);
    layout->addWidget(b);
    buttons_[static_cast<size_t>(i)] = b;
    connect(b, &QToolButton::clicked, this, [this, i] { trigger(static_cast<Button>(i)); });
  }
  layout->addStretch();
}

void Navigator::setGrid(DataGrid* grid) { grid_ = grid; }

void Navigator::trigger(Button b) {
  if (!grid_ || !grid_->tableModel()) return;
  guarded([&] {
    grid_->commitOpenEditor();
    TableModel& m = *grid_->tableModel();
    switch (b) {
      case First:
        m.setCurrentRow(0);
        break;
      case PriorTen:
        m.moveBy(-10);
        break;
      case Prior:
        m.moveBy(-1);
        break;
      case Next:
        m.moveBy(1);
        break;
      case NextTen:
        m.moveBy(10);
        break;
      case Last:
        m.setCurrentRow(m.rowCount() - 1);
        break;
      case Edit:
        m.startEdit();
        break;
      case Post:
        m.postPending();
        break;
      case Cancel:
        m.cancelPending();
        break;
      case Refresh:
        m.refresh();
        break;
      case ButtonCount:
        break;
    }
  });
}

}  // namespace pasarela::widgets
