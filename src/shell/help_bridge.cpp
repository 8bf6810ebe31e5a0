#include "shell/help_bridge.h"

#include <QString>

#ifdef PASARELA_HAVE_HELP
#include "shell/help/help_system.h"
#endif

// Without the help library linked in, help requests are dropped.
namespace pasarela::shell {

void setUpHelp([[maybe_unused]] QWidget* ownerWindow) {
#ifdef PASARELA_HAVE_HELP
  auto& help = pasarela::help::HelpSystem::instance();
  help.setHelpFile(QString::fromLatin1(kHelpFile));
  help.setOwnerWindow(ownerWindow);
#endif
}

void showHelpContents() {
#ifdef PASARELA_HAVE_HELP
  auto& help = pasarela::help::HelpSystem::instance();
  help.setHelpFile(QString::fromLatin1(kHelpFile));
  help.helpCommand(pasarela::help::kWinHelpContents, 0);
#endif
}

void showHelpContext([[maybe_unused]] int context) {
#ifdef PASARELA_HAVE_HELP
  pasarela::help::HelpSystem::instance().contextHelp(context);
#endif
}

}  // namespace pasarela::shell
