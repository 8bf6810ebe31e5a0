// TWinHelpTester: tells the help system that no WinHelp help can be shown,
// so every request goes to the HTML help viewer.
#pragma once

#include "shell/help/help_interfaces.h"

namespace pasarela::help {

class TWinHelpTester final : public IWinHelpTester {
 public:
  bool canShowALink(const QString& aLink, const QString& fileName) override;
  bool canShowTopic(const QString& topic, const QString& fileName) override;
  bool canShowContext(int context, const QString& fileName) override;
  QStringList helpStrings(const QString& aLink) override;
  QString helpPath() override;
  QString defaultHelpFile() override;
};

}  // namespace pasarela::help
