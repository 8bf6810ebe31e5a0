#include "shell/help/win_help_tester.h"

namespace pasarela::help {

bool TWinHelpTester::canShowALink(const QString&, const QString&) { return false; }
bool TWinHelpTester::canShowTopic(const QString&, const QString&) { return false; }
bool TWinHelpTester::canShowContext(int, const QString&) { return false; }
QStringList TWinHelpTester::helpStrings(const QString& aLink) { return {QStringLiteral(": ") + aLink}; }
QString TWinHelpTester::helpPath() { return {}; }
QString TWinHelpTester::defaultHelpFile() { return {}; }

}  // namespace pasarela::help
