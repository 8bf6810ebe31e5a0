// Answers the program's modal boxes as a user would: every message box and
// report window that comes up is written to stderr and closed with its
// accepting button. It looks for them on a timer, so the program under test
// needs no hook of its own.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace shelltest {

class ModalAnswerer : public QObject {
 public:
  // `seen` (optional) gets each box's text before it is answered.
  explicit ModalAnswerer(std::function<void(const QString&)> seen = {}) : seen_(std::move(seen)) {
    connect(&timer_, &QTimer::timeout, this, [this] { answer(); });
    timer_.start(50);
  }

 private:
  void answer() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      say(box->text());
      if (QAbstractButton* ok = box->button(QMessageBox::Ok))
        ok->click();
      else if (QAbstractButton* yes = box->button(QMessageBox::Yes))
        yes->click();
      else
        box->accept();
      return;
    }
    if (auto* text = modal->findChild<QPlainTextEdit*>(QStringLiteral("Informe"))) {
      say(text->toPlainText());
      static_cast<QDialog*>(modal)->accept();
    }
  }
  void say(const QString& text) {
    std::fprintf(stderr, "box: %s\n", text.toUtf8().constData());
    if (seen_) seen_(text);
  }

  QTimer timer_;
  std::function<void(const QString&)> seen_;
};

}  // namespace shelltest

namespace shelltest {

// Runs `handle` once for each modal window that comes up (the check windows,
// the report windows), from inside that window's own loop, as a user at the
// keyboard would act on it.
class ModalScript : public QObject {
 public:
  explicit ModalScript(std::function<void(QWidget*)> handle) : handle_(std::move(handle)) {
    connect(&timer_, &QTimer::timeout, this, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || modal == last_) return;
      last_ = modal;
      handle_(modal);
    });
    timer_.start(20);
  }

 private:
  QTimer timer_;
  QPointer<QWidget> last_;
  std::function<void(QWidget*)> handle_;
};

}  // namespace shelltest
