// The engine behind the HTML Help calls of THtmlHelpViewer.
//
// On Windows it is the system's HTML Help ("HtmlHelpW" in "HHCtrl.ocx",
// loaded at run time; hhctrl_engine.cpp); elsewhere a viewer window of our own that reads the
// compiled help file with chmlib (chm_help_engine.h).
#pragma once

#include <QString>
#include <memory>
#include <variant>

#include "shell/help/help_interfaces.h"

namespace pasarela::help {

// Command numbers of the HTML Help API.
enum HtmlHelpCommand : unsigned {
  kDisplayTopic = 0,  // file text "file.chm::/topic.htm"
  kDisplayToc = 1,    // table of contents
  kDisplayIndex = 2,  // index, searching for the keyword given as data
  kHelpContext = 15,  // topic mapped to the help-context number given as data
  kCloseAllWindows = 18,
};

// Data of a call: a number, or the keyword of kDisplayIndex.
using HtmlHelpData = std::variant<quintptr, QString>;

class HtmlHelpEngine {
 public:
  virtual ~HtmlHelpEngine() = default;
  // False when the engine cannot be reached (no "HHCtrl.ocx" or no
  // "HtmlHelpW" in it): callers then do nothing.
  virtual bool available() const = 0;
  virtual void htmlHelp(WindowHandle owner, const QString& file, unsigned command,
                        const HtmlHelpData& data) = 0;
};

// The engine of this platform.
std::shared_ptr<HtmlHelpEngine> createPlatformHtmlHelpEngine();

}  // namespace pasarela::help
