// A short report the user can read, select and copy: the end of an import
// with what it counted, or the problems of a transfer with the choice to go
// on or to cancel before the school's files are replaced.
#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace pasarela::shell {

class ReportWindow : public QDialog {
  Q_OBJECT
 public:
  enum class Kind { Information, GoOnOrCancel };
  ReportWindow(QWidget* owner, Kind kind, const QString& heading, const QString& text);

  QPlainTextEdit* report() const { return report_; }
  // "Aceptar" or "Continuar".
  QPushButton* acceptButton() const { return accept_; }
  // "Cancelar"; null for an information.
  QPushButton* cancelButton() const { return cancel_; }
  QPushButton* copyButton() const { return copy_; }

  // Shows it modally; true when the user went on (or acknowledged).
  static bool ask(QWidget* owner, Kind kind, const QString& heading, const QString& text);

 private:
  QPlainTextEdit* report_ = nullptr;
  QPushButton* accept_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* copy_ = nullptr;
};

}  // namespace pasarela::shell
