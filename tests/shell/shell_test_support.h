// What the window tests share: the application object, a private C: drive,
// a user who answers the message boxes with OK and remembers them, and a
// folder standing in for the executable's (where Tempolis.ini goes).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "shell/check_window.h"
#include "shell/exportar_datos.h"
#include "shell/message_boxes.h"
#include "shell/pasarela_application.h"
#include "shell/shell_flags.h"
#include "widgets/guarded.h"

namespace shelltest {

namespace fs = std::filesystem;

inline QApplication& application() {
  static int argc = 1;
  static char name[] = "PasarelaHoraria";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new pasarela::shell::PasarelaApplication(argc, argv);
  }();
  return *app;
}

enum class BoxKind { Notice, Error };

struct Box {
  BoxKind kind;
  QString text;
};

// Watches the application for the program's message boxes (OK alone): each
// one shown is remembered, handed to `seen` while it is up, and answered
// with OK from inside its own loop, as a user would.
class BoxAnswerer : public QObject {
 public:
  explicit BoxAnswerer(std::function<void(const Box&)> seen) : seen_(std::move(seen)) {
    QApplication::instance()->installEventFilter(this);
  }
  ~BoxAnswerer() override { QApplication::instance()->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Show) return false;
    auto* box = qobject_cast<QMessageBox*>(watched);
    if (!box || box->standardButtons() != QMessageBox::Ok) return false;
    seen_({box->icon() == QMessageBox::Critical ? BoxKind::Error : BoxKind::Notice, box->text()});
    QPointer<QMessageBox> shown(box);
    QMetaObject::invokeMethod(
        box,
        [shown] {
          if (shown) shown->button(QMessageBox::Ok)->click();
        },
        Qt::QueuedConnection);
    return false;
  }

 private:
  std::function<void(const Box&)> seen_;
};

inline std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const fs::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary);
  out << text;
}

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    application();
    root_ = fs::temp_directory_path() / ("pasarela-shell-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    driveC_ = root_ / "c";
    exeFolder_ = root_ / "exe";
    fs::create_directories(driveC_ / "KTEMP" / "VAVOVIDI");
    fs::create_directories(driveC_ / "OB");
    fs::create_directories(exeFolder_);
    ::setenv("PASARELA_DRIVE_C", driveC_.c_str(), 1);
    savedDir_ = fs::current_path();
    fs::current_path(driveC_);  // the program starts in C:\ (
    pasarela::NumParametros = 0;
    pasarela::Transformado = 0;
    // As the application object does: escaping errors go to the error box.
    pasarela::widgets::setErrorHandler(
        [](const std::string& message) { pasarela::shell::showErrorBox(nullptr, message); });
    answerer_ = std::make_unique<BoxAnswerer>([this](const Box& box) {
      boxes_.push_back(box);
      if (onBox_) onBox_(boxes_.back());
    });
  }

  void TearDown() override {
    answerer_.reset();
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    fs::current_path(savedDir_);
    fs::remove_all(root_);
  }

  // The boxes come up for the test itself to look at and answer.
  void stopAnsweringBoxes() { answerer_.reset(); }

  // The main window, with Tempolis.ini in the stand-in executable folder.
  std::unique_ptr<pasarela::shell::TExportarDatos> mainWindow(const QStringList& parameters) const {
    return std::make_unique<pasarela::shell::TExportarDatos>(parameters, nullptr,
                                                             QString::fromStdString(exeFolder_.string()));
  }
  // The main window started as the program starts it: created and shown.
  std::unique_ptr<pasarela::shell::TExportarDatos> startedWindow(const QStringList& parameters) const {
    auto window = mainWindow(parameters);
    window->FormCreate();
    window->show();
    return window;
  }

  std::vector<QString> errors() const {
    std::vector<QString> out;
    for (const Box& b : boxes_)
      if (b.kind == BoxKind::Error) out.push_back(b.text);
    return out;
  }
  std::vector<QString> notices() const {
    std::vector<QString> out;
    for (const Box& b : boxes_)
      if (b.kind == BoxKind::Notice) out.push_back(b.text);
    return out;
  }

  fs::path iniFile() const { return exeFolder_ / "Tempolis.ini"; }

  fs::path root_, driveC_, exeFolder_, savedDir_;
  std::vector<Box> boxes_;
  std::function<void(const Box&)> onBox_;
  std::unique_ptr<BoxAnswerer> answerer_;
};

}  // namespace shelltest
