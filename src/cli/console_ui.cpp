#include "cli/console_ui.h"

namespace pasarela::cli {

std::string ConsoleUserInterface::consoleText(std::string text) {
  for (std::size_t at; (at = text.find("\n\r")) != std::string::npos;) text.erase(at + 1, 1);
  return text;
}

void ConsoleUserInterface::notice(const std::string& text) {
  std::fprintf(err_, "%s\n", consoleText(text).c_str());
  std::fflush(err_);
}

void ConsoleUserInterface::error(const std::string& text) {
  std::fprintf(err_, "%s\n", consoleText(errorBoxText(text)).c_str());
  std::fflush(err_);
}

}  // namespace pasarela::cli
