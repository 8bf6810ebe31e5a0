#include "widgets/guarded.h"

#include <cstdio>
#include <exception>
#include <utility>

namespace pasarela::widgets {

namespace {
ErrorHandler& handlerSlot() {
  static ErrorHandler handler;
  return handler;
}
}  // namespace

void setErrorHandler(ErrorHandler handler) { handlerSlot() = std::move(handler); }

void reportError(const std::string& message) {
  if (handlerSlot())
    handlerSlot()(message);
  else
    std::fprintf(stderr, "%s\n", message.c_str());
}

bool guarded(const std::function<void()>& fn) {
  try {
    fn();
    return true;
  } catch (const std::exception& e) {
    reportError(e.what());
  }
  return false;
}

}  // namespace pasarela::widgets
