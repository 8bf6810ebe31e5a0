#include "shell/message_boxes.h"

#include <QApplication>
#include <QMessageBox>

#include "data/user_interface.h"

namespace pasarela::shell {

namespace {
MessageBoxHook& hookSlot() {
  static MessageBoxHook hook;
  return hook;
}

QWidget* ownerFor(QWidget* parent) { return parent ? parent : QApplication::activeWindow(); }
}  // namespace

void setMessageBoxHook(MessageBoxHook hook) { hookSlot() = std::move(hook); }

void showNotice(QWidget* parent, const QString& text) {
  if (hookSlot()) {
    hookSlot()(BoxKind::Notice, text);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kAppTitle), text, QMessageBox::Ok,
                  ownerFor(parent));
  box.exec();
}

void showErrorBox(QWidget* parent, const std::string& message) {
  const QString text = QString::fromStdString(errorBoxText(message));
  if (hookSlot()) {
    hookSlot()(BoxKind::Error, text);
    return;
  }
  QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kAppTitle), text, QMessageBox::Ok,
                  ownerFor(parent));
  box.exec();
}

}  // namespace pasarela::shell
