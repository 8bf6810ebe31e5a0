// The main window from the keyboard: Return on a focused button presses it,
// the folder box shows the folder in use and takes no typing, and Qt's own
// texts are Spanish.
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "help_recorder.h"
#include "shell/report_window.h"
#include "shell_test_support.h"

using pasarela::shell::ReportWindow;
using pasarela::shell::TExportarDatos;
using shelltest::ShellTest;

namespace {

class Keyboard : public ShellTest {
 protected:
  static void activate(QWidget& w) {
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  }
};

}  // namespace

TEST_F(Keyboard, ReturnOrEnterOnAFocusedButtonPressesIt) {
  shelltest::RecordedHelp help;
  TExportarDatos w({});
  activate(w);
  for (QPushButton* b : {w.BExportar, w.BImportar, w.Button1}) {
    QSignalSpy clicked(b, &QPushButton::clicked);
    b->setFocus();
    QTest::keyClick(b, Qt::Key_Return);
    QTest::keyClick(b, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(clicked.count(), 2) << b->objectName().toStdString();
  }
  EXPECT_EQ(help.requests(), (std::vector<int>{0, 0}));  // "F1 AYUDA" twice
  w.BClose->setFocus();
  QTest::keyClick(w.BClose, Qt::Key_Return);
  EXPECT_FALSE(w.isVisible());
}

TEST_F(Keyboard, ReturnOnTheReportWindowsButtons) {
  for (bool goOn : {true, false}) {
    ReportWindow w(nullptr, ReportWindow::Kind::GoOnOrCancel, QStringLiteral("t"), QStringLiteral("x"));
    activate(w);
    QPushButton* b = goOn ? w.acceptButton() : w.cancelButton();
    b->setFocus();
    QTest::keyClick(b, Qt::Key_Return);
    EXPECT_EQ(w.result(), goOn ? QDialog::Accepted : QDialog::Rejected);
  }
  // The safe answer has the focus when the question comes up.
  ReportWindow w(nullptr, ReportWindow::Kind::GoOnOrCancel, QStringLiteral("t"), QStringLiteral("x"));
  activate(w);
  EXPECT_EQ(QApplication::focusWidget(), w.cancelButton());
}

TEST_F(Keyboard, TheFolderBoxTakesNoTyping) {
  TExportarDatos w({});
  w.FormCreate();
  activate(w);
  const QString shown = w.EdNuevoDir->text();
  const std::string folder = w.ListaDirectorios->directory();
  w.EdNuevoDir->setFocus();
  QTest::keyClicks(w.EdNuevoDir, QStringLiteral("D:\\OTRA"));
  QTest::keyClick(w.EdNuevoDir, Qt::Key_Return);
  EXPECT_EQ(w.EdNuevoDir->text(), shown);
  EXPECT_EQ(w.ListaDirectorios->directory(), folder);
}

TEST_F(Keyboard, QtsOwnTextsAreSpanish) {
  // The standard buttons' texts and the context menus' entries.
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));
  EXPECT_EQ(QCoreApplication::translate("QWidgetTextControl", "&Copy").remove(u'&'),
            QStringLiteral("Copiar"));
}
