#include "shell/report_window.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "shell/message_boxes.h"
#include "shell/window_fonts.h"
#include "widgets/enter_clicks.h"

namespace pasarela::shell {

ReportWindow::ReportWindow(QWidget* owner, Kind kind, const QString& heading, const QString& text)
    : QDialog(owner,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint) {
  setObjectName(QStringLiteral("InformeTraspaso"));
  setWindowTitle(QString::fromLatin1(kAppTitle));
  setFont(sansSerifFont(12));
  resize(560, 320);

  auto* title = new QLabel(heading, this);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  title->setWordWrap(true);
  if (kind == Kind::GoOnOrCancel) {
    QPalette p = title->palette();
    p.setColor(QPalette::WindowText, Qt::red);
    title->setPalette(p);
  }

  report_ = new QPlainTextEdit(text, this);
  report_->setObjectName(QStringLiteral("Informe"));
  report_->setReadOnly(true);
  report_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  report_->setFont(arialFont(12));

  copy_ = new QPushButton(QStringLiteral("Copiar"), this);
  connect(copy_, &QPushButton::clicked, this,
          [this] { QApplication::clipboard()->setText(report_->toPlainText()); });
  accept_ = new QPushButton(
      kind == Kind::GoOnOrCancel ? QStringLiteral("Continuar") : QStringLiteral("Aceptar"), this);
  accept_->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
  connect(accept_, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(copy_);
  buttons->addStretch(1);
  buttons->addWidget(accept_);
  if (kind == Kind::GoOnOrCancel) {
    cancel_ = new QPushButton(QStringLiteral("Cancelar"), this);
    cancel_->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cancel_);
  }
  for (QPushButton* b : {copy_, accept_, cancel_}) {
    if (!b) continue;
    b->setAutoDefault(false);
    pasarela::widgets::clickOnEnter(b);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title);
  layout->addWidget(report_, 1);
  layout->addLayout(buttons);
  // Going on must be chosen: the safe answer has the focus.
  (cancel_ ? cancel_ : accept_)->setFocus();
}

bool ReportWindow::ask(QWidget* owner, Kind kind, const QString& heading, const QString& text) {
  ReportWindow window(owner, kind, heading, text);
  return window.exec() == QDialog::Accepted;
}

}  // namespace pasarela::shell
