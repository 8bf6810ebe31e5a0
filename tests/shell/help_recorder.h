// Stands in for the help viewers: the test takes the help system's viewers
// away and registers this one, which keeps the requests that reach it
// (0 for the table of contents, else the help context).
#pragma once

#include <memory>
#include <vector>

#include "shell/help/help_interfaces.h"
#include "shell/help/help_system.h"

namespace shelltest {

class HelpRecorder final : public pasarela::help::IExtendedHelpViewer {
 public:
  QString viewerName() const override { return QStringLiteral("Recorder"); }
  int understandsKeyword(const QString&) override { return 0; }
  QStringList helpStrings(const QString&) override { return {}; }
  bool canShowTableOfContents() override { return true; }
  void showTableOfContents() override { requests.push_back(0); }
  void showHelp(const QString&) override {}
  void notifyId(int) override {}
  void softShutDown() override {}
  void shutDown() override {}
  bool understandsTopic(const QString&) override { return false; }
  void displayTopic(const QString&) override {}
  bool understandsContext(int, const QString&) override { return true; }
  void displayHelpByContext(int contextId, const QString&) override { requests.push_back(contextId); }

  std::vector<int> requests;
};

// Registers a recorder as the help system's only viewer for the life of
// the object; the help system is left without viewers afterwards.
class RecordedHelp {
 public:
  RecordedHelp() : recorder_(std::make_shared<HelpRecorder>()) {
    auto& help = pasarela::help::HelpSystem::instance();
    help.shutDown();
    help.registerViewer(recorder_);
  }
  ~RecordedHelp() { pasarela::help::HelpSystem::instance().shutDown(); }
  RecordedHelp(const RecordedHelp&) = delete;
  RecordedHelp& operator=(const RecordedHelp&) = delete;

  const std::vector<int>& requests() const { return recorder_->requests; }

 private:
  std::shared_ptr<HelpRecorder> recorder_;
};

}  // namespace shelltest
