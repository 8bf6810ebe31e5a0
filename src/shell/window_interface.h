// The user interface the runs talk through, over the main window: message
// boxes, the busy cursor, the two modal check windows, closing the window.
#pragma once

#include "data/user_interface.h"

class QWidget;

namespace pasarela::shell {

class WindowInterface : public UserInterface {
 public:
  explicit WindowInterface(QWidget& mainWindow) : window_(mainWindow) {}
  void notice(const std::string& text) override;
  void error(const std::string& text) override;
  void busyCursor() override;
  void normalCursor() override;
  void showTeacherCheck() override;
  void showTemplateCheck() override;
  void closeMainWindow() override;

 private:
  QWidget& window_;
};

}  // namespace pasarela::shell
