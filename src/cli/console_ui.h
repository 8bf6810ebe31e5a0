// The user interface of the command line: notices and errors go to standard
// error, so that standard output carries only the report; there is no
// cursor, and the check windows cannot ask anything, so the runs use the
// tables as they are.
#pragma once

#include <cstdio>
#include <string>

#include "data/user_interface.h"

namespace pasarela::cli {

class ConsoleUserInterface : public UserInterface {
 public:
  explicit ConsoleUserInterface(std::FILE* err = stderr) : err_(err) {}

  void notice(const std::string& text) override;
  // Prints the text as the error box shows it (with its full stop).
  void error(const std::string& text) override;
  void busyCursor() override {}
  void normalCursor() override {}
  void showTeacherCheck() override {}
  void showTemplateCheck() override {}
  void closeMainWindow() override { closed_ = true; }
  bool closed() const { return closed_; }

  // The message boxes separate lines with "\n\r"; a terminal wants "\n".
  static std::string consoleText(std::string text);

 private:
  std::FILE* err_;
  bool closed_ = false;
};

}  // namespace pasarela::cli
