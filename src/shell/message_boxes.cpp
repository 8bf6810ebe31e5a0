#include "shell/message_boxes.h"

#include <QApplication>
#include <QMessageBox>

#include "data/user_interface.h"

namespace pasarela::shell {

namespace {
QWidget* ownerFor(QWidget* parent) { return parent ? parent : QApplication::activeWindow(); }
}  // namespace

void showNotice(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kAppTitle), text, QMessageBox::Ok,
                  ownerFor(parent));
  box.exec();
}

void showErrorBox(QWidget* parent, const std::string& message) {
  const QString text = QString::fromStdString(errorBoxText(message));
  QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kAppTitle), text, QMessageBox::Ok,
                  ownerFor(parent));
  box.exec();
}

}  // namespace pasarela::shell
