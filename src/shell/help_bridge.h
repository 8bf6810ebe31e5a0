// The window's way to the application's help system ("ORBENTA.chm" beside
// the executable): the contents, and the topic of a help context (F1).
#pragma once

class QWidget;

namespace pasarela::shell {

inline constexpr const char* kHelpFile = "ORBENTA.chm";

// The application's help file and the window the help windows belong to.
void setUpHelp(QWidget* ownerWindow);
void showHelpContents();
void showHelpContext(int context);

}  // namespace pasarela::shell
