// The window's way to the application's help system ("ORBENTA.chm" beside
// the executable): the contents, and the topic of a help context (F1).
#pragma once

#include <functional>

class QWidget;

namespace pasarela::shell {

inline constexpr const char* kHelpFile = "ORBENTA.chm";

// The application's help file and the window the help windows belong to.
void setUpHelp(QWidget* ownerWindow);
void showHelpContents();
void showHelpContext(int context);

// Tests see the requests instead of the help system: context 0 stands for
// the contents. An empty hook gives the help system back.
using HelpRequestHook = std::function<void(int context)>;
void setHelpRequestHook(HelpRequestHook hook);

}  // namespace pasarela::shell
