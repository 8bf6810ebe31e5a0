// The Windows engine: the system's HTML Help, reached through the OS layer.
#include "base/os/desktop.h"
#include "shell/help/html_help_engine.h"

namespace pasarela::help {

namespace {

// QString holds UTF-16 as Windows does; the text ends in a zero.
const char16_t* wide(const QString& text) { return reinterpret_cast<const char16_t*>(text.utf16()); }

class HHCtrlEngine final : public HtmlHelpEngine {
 public:
  bool available() const override { return library_.available(); }

  void htmlHelp(WindowHandle owner, const QString& file, unsigned command,
                const HtmlHelpData& data) override {
    if (command == kCloseAllWindows) {
      library_.call(0, nullptr, command, 0);
      return;
    }
    const auto window = static_cast<std::uintptr_t>(owner);
    if (const auto* keyword = std::get_if<QString>(&data)) {
      library_.call(window, wide(file), command, reinterpret_cast<std::uintptr_t>(wide(*keyword)));
    } else {
      library_.call(window, wide(file), command, static_cast<std::uintptr_t>(std::get<quintptr>(data)));
    }
  }

 private:
  os::HtmlHelpLibrary library_;
};

}  // namespace

std::shared_ptr<HtmlHelpEngine> createPlatformHtmlHelpEngine() { return std::make_shared<HHCtrlEngine>(); }

}  // namespace pasarela::help
