// THtmlHelpViewer: the help viewer for compiled HTML help (".chm") files.
//
// It registers with the help system, serves as its help selector and turns
// each request into one HTML Help call on the current help file. There is
// one per process (see installHtmlHelpViewer); tests make their own with a
// fake engine.
#pragma once

#include <memory>

#include "shell/help/help_interfaces.h"
#include "shell/help/html_help_engine.h"

namespace pasarela::help {

class HelpSystem;

class THtmlHelpViewer final : public IExtendedHelpViewer, public IHelpSelector {
 public:
  explicit THtmlHelpViewer(std::shared_ptr<HtmlHelpEngine> engine);
  ~THtmlHelpViewer() override;

  // The manager reference handed back at registration (none: nullptr).
  void setManager(IHelpManager* manager) { manager_ = manager; }
  IHelpManager* manager() const { return manager_; }
  int viewerId() const { return viewerId_; }
  QString defaultExtension() const { return QStringLiteral(".htm"); }

  // The help file the operations work on: the manager's, else the
  // application's; a bare name is taken from the executable's folder.
  QString currentHelpFile() const;

  // ICustomHelpViewer
  QString viewerName() const override;
  int understandsKeyword(const QString& keyword) override;
  QStringList helpStrings(const QString& keyword) override;
  bool canShowTableOfContents() override;
  void showTableOfContents() override;
  void showHelp(const QString& helpString) override;
  void notifyId(int viewerId) override;
  void softShutDown() override;
  void shutDown() override;

  // IExtendedHelpViewer
  bool understandsTopic(const QString& topic) override;
  void displayTopic(const QString& topic) override;
  bool understandsContext(int contextId, const QString& helpFileName) override;
  void displayHelpByContext(int contextId, const QString& helpFileName) override;

  // IHelpSelector
  int selectKeyword(const QStringList& helpStrings) override;
  int tableOfContents(const QStringList& viewerNames) override;

 private:
  void htmlHelp(const QString& file, unsigned command, const HtmlHelpData& data);

  std::shared_ptr<HtmlHelpEngine> engine_;
  IHelpManager* manager_ = nullptr;
  int viewerId_ = 0;
};

// True when the name ends in ".chm" (from its last "."), in any case.
bool isChmFile(const QString& fileName);

// The name itself when it has a folder part, else the name in the folder of
// the running executable.
QString besideExecutable(const QString& fileName);

// While the program loads: creates the viewer on the engine, registers it,
// installs it as the selector and installs a TWinHelpTester.
std::shared_ptr<THtmlHelpViewer> installHtmlHelpViewer(HelpSystem& system,
                                                       std::shared_ptr<HtmlHelpEngine> engine);

// The process's viewer, while it exists.
THtmlHelpViewer* htmlHelpViewer();

}  // namespace pasarela::help
