#include "support/process.h"

namespace pasarela::test {

std::string RunResult::describe() const {
  std::string text;
  if (!started)
    text = "could not start the program";
  else if (timedOut)
    text = "killed after its time ran out";
  else
    text = "exit " + std::to_string(exitCode);
  text += "\n" + output;
  if (!errors.empty()) text += "\n" + errors;
  return text;
}

}  // namespace pasarela::test
