// The application's help system: the window's help requests go here and
// are passed on to the registered help viewers.
//
// How the desktop program uses it (all on the user-interface thread, after
// the QApplication exists):
//
//   auto& help = pasarela::help::HelpSystem::instance();  // registers the .chm viewer
//   help.setHelpFile(QStringLiteral("ORBENTA.chm"));      // a bare name: beside the executable
//   help.setOwnerWindow(mainWindow);                      // owner of the help windows
//   help.showContents();    // "F1 AYUDA": Windows help command 3, table of contents
//   help.contextHelp(1);    // F1: the topic with help-context number 1
//
// helpCommand(kWinHelpContents, 0) is the same as showContents(), and
// helpCommand(kWinHelpContext, n) the same as contextHelp(n). Each call
// returns whether a viewer took the request. On Windows the requests go to
// the system's HTML Help, and do nothing when "HHCtrl.ocx" is missing;
// elsewhere a help window of our own shows the file, and says so in the
// window when the file is missing or the context is not mapped. Help windows
// do not keep the program running and close when the QApplication goes.
//
// CMake: link the target pasarela_help. The sample help file is built into
// the build folder as ORBENTA.chm (target help_chm) and copied beside the
// desktop program PasarelaHoraria.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "shell/help/help_interfaces.h"

namespace pasarela::help {

// Windows help commands of the requests the window makes.
enum WinHelpCommand : unsigned { kWinHelpContext = 1, kWinHelpContents = 3 };

class HelpSystem final : public IHelpManager {
 public:
  HelpSystem() = default;
  ~HelpSystem() override;
  HelpSystem(const HelpSystem&) = delete;
  HelpSystem& operator=(const HelpSystem&) = delete;

  // The process's help system, with the HTML help viewer of this platform
  // registered on first use.
  static HelpSystem& instance();

  // The application's help file ("ORBENTA.chm").
  void setHelpFile(const QString& fileName) { applicationHelpFile_ = fileName; }
  // The window the help windows belong to (may be null).
  void setOwnerWindow(QWidget* window) { owner_ = window; }

  // Requests of the window.
  bool helpCommand(unsigned command, quintptr data);
  bool showContents();
  bool contextHelp(int contextId);
  bool keywordHelp(const QString& keyword);
  bool topicHelp(const QString& topic);

  // Registration (IHelpSystem): the manager reference is handed back and
  // the viewer is told its ID.
  IHelpManager* registerViewer(std::shared_ptr<ICustomHelpViewer> viewer);
  void setHelpSelector(std::shared_ptr<IHelpSelector> selector) { selector_ = std::move(selector); }
  void setWinHelpTester(std::shared_ptr<IWinHelpTester> tester) { winHelpTester_ = std::move(tester); }
  IHelpSelector* helpSelector() const { return selector_.get(); }
  IWinHelpTester* winHelpTester() const { return winHelpTester_.get(); }
  size_t viewerCount() const { return viewers_.size(); }

  // Every viewer shuts down and leaves.
  void shutDown();

  // IHelpManager
  WindowHandle handle() const override;
  QString helpFile() const override { return requestHelpFile_; }
  QString applicationHelpFile() const override { return applicationHelpFile_; }
  void release(int viewerId) override;

 private:
  struct Registered {
    int id;
    std::shared_ptr<ICustomHelpViewer> viewer;
  };

  // Serves one request with the application's help file as the current one.
  class Request;

  std::vector<Registered> viewers_;
  std::shared_ptr<IHelpSelector> selector_;
  std::shared_ptr<IWinHelpTester> winHelpTester_;
  QPointer<QWidget> owner_;
  QString applicationHelpFile_;
  QString requestHelpFile_;
  int lastViewerId_ = 0;
};

}  // namespace pasarela::help
