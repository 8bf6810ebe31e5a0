// The application's error handler: an error escaping an event handler ends
// up in the error message box (title, stop icon, OK, the full stop rule) and
// the program goes on.
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "base/error.h"
#include "help_recorder.h"
#include "shell/help_bridge.h"
#include "shell_test_support.h"

using shelltest::ShellTest;

namespace {

class Thrower : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw pasarela::Error("No se encuentra el campo 'CODCEN'");
    return QObject::event(e);
  }
};

class ErrorBox : public ShellTest {};

}  // namespace

TEST_F(ErrorBox, AnErrorEscapingAHandlerIsShownAndTheLoopGoesOn) {
  Thrower thrower;
  QEvent event(QEvent::User);
  QCoreApplication::sendEvent(&thrower, &event);
  ASSERT_EQ(errors().size(), 1u);
  EXPECT_EQ(errors()[0], QStringLiteral("No se encuentra el campo 'CODCEN'"));  // ' comes before '.'

  QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
  QCoreApplication::processEvents();
  EXPECT_EQ(errors().size(), 2u);
}

TEST_F(ErrorBox, TheBoxHasTheTitleTheStopIconAndOK) {
  stopAnsweringBoxes();
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    buttons = static_cast<int>(box->buttons().size());
    box->button(QMessageBox::Ok)->click();
  });
  pasarela::shell::showErrorBox(nullptr, "Disco lleno");
  EXPECT_EQ(title, QStringLiteral("PasarelaHoraria"));
  EXPECT_EQ(text, QStringLiteral("Disco lleno."));
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(buttons, 1);
}

TEST_F(ErrorBox, ANoticeHasTheTitleAndOK) {
  stopAnsweringBoxes();
  QString title, text;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  pasarela::shell::showNotice(nullptr, QStringLiteral("Proceso finalizado"));
  EXPECT_EQ(title, QStringLiteral("PasarelaHoraria"));
  EXPECT_EQ(text, QStringLiteral("Proceso finalizado"));
}

TEST_F(ErrorBox, HelpButtonAndF1GoToTheHelpSystem) {
  shelltest::RecordedHelp help;
  pasarela::shell::TExportarDatos w({});
  w.show();
  QApplication::setActiveWindow(&w);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  w.Button1->click();
  w.CBCentro->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
  EXPECT_EQ(help.requests(), (std::vector<int>{0, 1}));  // contents, then context 1
}
