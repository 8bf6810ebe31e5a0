#include "shell/check_window.h"

#include <QShortcut>

#include "shell/help_bridge.h"
#include "shell/window_fonts.h"
#include "widgets/enter_clicks.h"
#include "widgets/guarded.h"

namespace pasarela::shell {

CheckWindow::CheckWindow(QWidget* owner, std::unique_ptr<Table> table,
                         std::vector<pasarela::widgets::ColumnSpec> columns, const CheckWindowLayout& layout)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint),
      table_(std::move(table)) {
  setWindowTitle(layout.caption);
  setFont(sansSerifFont(11));
  setFixedSize(layout.clientSize);
  setProperty("helpContext", 1);
  move(24, 25);

  background_ = new pasarela::widgets::GradientPanel(this);
  background_->setGeometry(QRect(QPoint(0, 0), layout.clientSize));
  background_->setColors(QColor(194, 205, 254), QColor(207, 242, 254), QColor(204, 216, 230));

  table_->open();
  model_ = new pasarela::widgets::TableModel(*table_, std::move(columns), this);

  navigator_ = new pasarela::widgets::Navigator(background_);
  navigator_->setObjectName(QStringLiteral("wwDBNavigator1"));
  navigator_->setGeometry(layout.navigatorBounds);

  grid_ = new pasarela::widgets::DataGrid(background_);
  grid_->setObjectName(layout.gridName);
  grid_->setProperty("helpContext", 1);
  grid_->setGeometry(layout.gridBounds);
  grid_->setTableModel(model_);
  navigator_->setGrid(grid_);

  QFont bold = font();
  bold.setBold(true);

  heading_ = new QLabel(layout.heading, background_);
  heading_->setFont(bold);
  heading_->setWordWrap(true);
  heading_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  heading_->setGeometry(layout.headingBounds);

  title_ = new QLabel(layout.title, background_);
  QFont underlined = bold;
  underlined.setUnderline(true);
  title_->setFont(underlined);
  title_->setAutoFillBackground(true);
  QPalette titlePalette = title_->palette();
  titlePalette.setColor(QPalette::Window, QColor(0xF0, 0xCA, 0xA6));
  titlePalette.setColor(QPalette::WindowText, Qt::red);
  title_->setPalette(titlePalette);
  title_->setAlignment(Qt::AlignCenter);
  title_->setWordWrap(true);
  title_->setGeometry(layout.titleBounds);

  text_ = new QLabel(layout.text, background_);
  text_->setFont(bold);
  text_->setWordWrap(true);
  text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette textPalette = text_->palette();
  textPalette.setColor(QPalette::WindowText, QColor(0, 0, 128));
  text_->setPalette(textPalette);
  text_->setGeometry(layout.textBounds);

  BitBtn1 = new QPushButton(QStringLiteral("Salir"), background_);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setFont(bold);
  BitBtn1->setAutoDefault(false);
  BitBtn1->setProperty("helpContext", 1);
  BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
  BitBtn1->setGeometry(layout.buttonBounds);
  pasarela::widgets::clickOnEnter(BitBtn1);
  connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);

  // Modal to the main window only, so that the help it opens can be read
  // and clicked while it is shown.
  setWindowModality(Qt::WindowModal);
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(f1, &QShortcut::activated, this, [] { showHelpContext(1); });

  setTabOrder(grid_, BitBtn1);
  grid_->setFocus();
}

CheckWindow::~CheckWindow() {
  // The grid and the model go before the table they read.
  delete background_;
  delete model_;
  if (table_) table_->close();
}

void CheckWindow::reject() {
  if (!pasarela::widgets::guarded([this] { grid_->commitAndPost(); })) return;
  QDialog::reject();
}

int CheckWindow::runModal() { return exec(); }

}  // namespace pasarela::shell
