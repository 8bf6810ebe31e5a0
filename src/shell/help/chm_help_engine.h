// The engine of the HTML Help calls where there is no Windows HTML Help:
// one ChmViewerWindow per help file.
#pragma once

#include <QPointer>
#include <map>
#include <vector>

#include "shell/help/chm_viewer_window.h"
#include "shell/help/html_help_engine.h"

namespace pasarela::help {

class ChmHelpEngine final : public HtmlHelpEngine {
 public:
  ChmHelpEngine() = default;
  ~ChmHelpEngine() override;
  ChmHelpEngine(const ChmHelpEngine&) = delete;
  ChmHelpEngine& operator=(const ChmHelpEngine&) = delete;

  bool available() const override { return true; }
  // The file text is a host path, with "::/topic.htm" after it for
  // command 0. Unknown commands are ignored.
  void htmlHelp(WindowHandle owner, const QString& file, unsigned command, const HtmlHelpData& data) override;

  // The open window of a help file, if any.
  ChmViewerWindow* window(const QString& file) const;
  std::vector<ChmViewerWindow*> windows() const;
  void closeAll();

 private:
  ChmViewerWindow* openWindow(const QString& file);
  static QString key(const QString& file);

  std::map<QString, QPointer<ChmViewerWindow>> windows_;
};

}  // namespace pasarela::help
