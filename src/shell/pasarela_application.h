// The application object: title "PasarelaHoraria", help file
// "ORBENTA.chm", Qt's Spanish texts, and the default error handler: an error that escapes an
// event handler is shown in the error message box and the loop goes on.
#pragma once

#include <QApplication>
#include <QTranslator>

namespace pasarela::shell {

class PasarelaApplication : public QApplication {
  Q_OBJECT
 public:
  PasarelaApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
  QString helpFile() const { return helpFile_; }

 private:
  QString helpFile_;
  QTranslator qtTranslator_;
};

}  // namespace pasarela::shell
