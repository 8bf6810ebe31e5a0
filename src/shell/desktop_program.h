// The desktop program's body: the application, the main window, help, the
// creation hook and the event loop until the main window closes.
#pragma once

#include <functional>

namespace pasarela::shell {

class TExportarDatos;

// `beforeCreate`, when given, sees the window before its creation hook runs
// (a test entry point drives the window through it).
int runDesktopProgram(int argc, char** argv, const std::function<void(TExportarDatos&)>& beforeCreate = {});

}  // namespace pasarela::shell
