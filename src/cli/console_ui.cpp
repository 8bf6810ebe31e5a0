#include "cli/console_ui.h"

namespace pasarela::cli {

void ConsoleUserInterface::notice(const std::string& text) {
  std::fprintf(out_, "%s\n", text.c_str());
  std::fflush(out_);
}

void ConsoleUserInterface::error(const std::string& text) {
  std::fprintf(err_, "%s\n", errorBoxText(text).c_str());
  std::fflush(err_);
}

}  // namespace pasarela::cli
