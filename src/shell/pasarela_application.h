// The application object: title "PasarelaHoraria", help file
// "ORBENTA.chm", and the default error handler: an error that escapes an
// event handler is shown in the error message box and the loop goes on.
#pragma once

#include <QApplication>

namespace pasarela::shell {

class PasarelaApplication : public QApplication {
  Q_OBJECT
 public:
  PasarelaApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
  QString helpFile() const { return helpFile_; }

 private:
  QString helpFile_;
};

}  // namespace pasarela::shell
