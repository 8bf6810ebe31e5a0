// What the window tests share: the application object, a private C: drive,
// a recorder standing in for the message boxes, and a folder standing in for
// the executable's (where Tempolis.ini goes).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QString>
#include <QStringList>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "shell/shell_flags.h"
#include "shell/check_window.h"
#include "shell/exportar_datos.h"
#include "shell/message_boxes.h"
#include "shell/pasarela_application.h"
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

struct Box {
  pasarela::shell::BoxKind kind;
  QString text;
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
    pasarela::shell::TExportarDatos::setIniFolderForTests(QString::fromStdString(exeFolder_.string()));
    // As the application object does: escaping errors go to the error box.
    pasarela::widgets::setErrorHandler(
        [](const std::string& message) { pasarela::shell::showErrorBox(nullptr, message); });
    pasarela::shell::setMessageBoxHook([this](pasarela::shell::BoxKind kind, const QString& text) {
      boxes_.push_back({kind, text});
      if (onBox_) onBox_(boxes_.back());
    });
  }

  void TearDown() override {
    pasarela::shell::setMessageBoxHook({});
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    fs::current_path(savedDir_);
    fs::remove_all(root_);
  }

  std::vector<QString> errors() const {
    std::vector<QString> out;
    for (const Box& b : boxes_)
      if (b.kind == pasarela::shell::BoxKind::Error) out.push_back(b.text);
    return out;
  }
  std::vector<QString> notices() const {
    std::vector<QString> out;
    for (const Box& b : boxes_)
      if (b.kind == pasarela::shell::BoxKind::Notice) out.push_back(b.text);
    return out;
  }

  fs::path iniFile() const { return exeFolder_ / "Tempolis.ini"; }

  fs::path root_, driveC_, exeFolder_, savedDir_;
  std::vector<Box> boxes_;
  std::function<void(const Box&)> onBox_;
};

}  // namespace shelltest
