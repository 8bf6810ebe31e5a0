// The user interface of the command line: notices go to standard output,
// errors to standard error; there is no cursor and no window to close.
#pragma once

#include <cstdio>

#include "data/user_interface.h"

namespace pasarela::cli {

class ConsoleUserInterface : public UserInterface {
 public:
  explicit ConsoleUserInterface(std::FILE* out = stdout, std::FILE* err = stderr) : out_(out), err_(err) {}

  void notice(const std::string& text) override;
  // Prints the text as the error box shows it (with its full stop).
  void error(const std::string& text) override;
  void busyCursor() override {}
  void normalCursor() override {}
  // No windows here: the checks are left to a caller that has them.
  void showTeacherCheck() override {}
  void showTemplateCheck() override {}
  void closeMainWindow() override {}

 private:
  std::FILE* out_;
  std::FILE* err_;
};

}  // namespace pasarela::cli
