// The window's way to the application's help system ("ORBENTA.chm" beside
// the executable): the contents, and the topic of a help context (F1).
#pragma once

namespace pasarela::shell {

inline constexpr const char* kHelpFile = "ORBENTA.chm";

void showHelpContents();
void showHelpContext(int context);

}  // namespace pasarela::shell
