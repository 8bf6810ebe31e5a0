// Handlers of the components run through guarded(): a pasarela::Error (or any
// std::exception) that escapes a handler is shown by the application's error
// handler and the window stays usable, the way the event loop would show it.
#pragma once

#include <functional>
#include <string>

namespace pasarela::widgets {

using ErrorHandler = std::function<void(const std::string& message)>;

// The shell installs the error message box here; without one the message
// goes to standard error.
void setErrorHandler(ErrorHandler handler);
void reportError(const std::string& message);

// Runs `fn`, reporting an escaping error; returns false when one escaped.
bool guarded(const std::function<void()>& fn);

}  // namespace pasarela::widgets
