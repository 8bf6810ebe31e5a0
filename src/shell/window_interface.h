// The user interface the runs talk through, over the main window: message
// boxes, the busy cursor, the progress display, the two modal check
// windows, the report of an import, closing the window.
#pragma once

#include <string>

#include "data/user_interface.h"

class QWidget;

namespace pasarela {
struct ImportReport;
}

namespace pasarela::shell {

class ProgressDisplay;

class WindowInterface : public UserInterface {
 public:
  WindowInterface(QWidget& mainWindow, ProgressDisplay& progress)
      : window_(mainWindow), progress_(progress) {}
  void notice(const std::string& text) override;
  void error(const std::string& text) override;
  void busyCursor() override;
  void normalCursor() override;
  void showTeacherCheck() override;
  void showTemplateCheck() override;
  void closeMainWindow() override;
  bool confirmCopyBack(const std::string& problems) override;
  void progress(const std::string& step) override;

  // While an import runs: its report, so that its end shows what it counted
  // instead of a bare "Proceso finalizado". Null when no import runs.
  void setImportReport(const ImportReport* report, const std::string& sourceFolder);
  // A run of `steps` progress steps begins, or (0) ends.
  void runSteps(int steps);

 private:
  QWidget& window_;
  ProgressDisplay& progress_;
  const ImportReport* importReport_ = nullptr;
  std::string sourceFolder_;
};

}  // namespace pasarela::shell
