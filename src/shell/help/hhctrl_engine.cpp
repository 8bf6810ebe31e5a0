// The Windows engine: "HtmlHelpA" of "HHCtrl.ocx", loaded at run time.
#ifdef _WIN32

#include <windows.h>

#include "shell/help/html_help_engine.h"

namespace pasarela::help {

namespace {

using HtmlHelpA = HWND(WINAPI*)(HWND owner, LPCSTR file, UINT command, DWORD_PTR data);

class HHCtrlEngine final : public HtmlHelpEngine {
 public:
  HHCtrlEngine() {
    library_ = LoadLibraryA("HHCtrl.ocx");
    // Through void (*)(): the generic function type, so the cast is not taken for a mistake.
    if (library_)
      entry_ =
          reinterpret_cast<HtmlHelpA>(reinterpret_cast<void (*)()>(GetProcAddress(library_, "HtmlHelpA")));
  }
  ~HHCtrlEngine() override {
    entry_ = nullptr;
    if (library_) FreeLibrary(library_);
  }
  HHCtrlEngine(const HHCtrlEngine&) = delete;
  HHCtrlEngine& operator=(const HHCtrlEngine&) = delete;

  bool available() const override { return entry_ != nullptr; }

  void htmlHelp(WindowHandle owner, const QString& file, unsigned command,
                const HtmlHelpData& data) override {
    if (!entry_) return;
    if (command == kCloseAllWindows) {
      entry_(nullptr, nullptr, command, 0);
      return;
    }
    const QByteArray fileText = file.toLocal8Bit();
    if (const auto* keyword = std::get_if<QString>(&data)) {
      const QByteArray keywordText = keyword->toLocal8Bit();
      entry_(reinterpret_cast<HWND>(owner), fileText.constData(), command,
             reinterpret_cast<DWORD_PTR>(keywordText.constData()));
    } else {
      entry_(reinterpret_cast<HWND>(owner), fileText.constData(), command,
             static_cast<DWORD_PTR>(std::get<quintptr>(data)));
    }
  }

 private:
  HMODULE library_ = nullptr;
  HtmlHelpA entry_ = nullptr;
};

}  // namespace

std::shared_ptr<HtmlHelpEngine> createPlatformHtmlHelpEngine() { return std::make_shared<HHCtrlEngine>(); }

}  // namespace pasarela::help

#endif  // _WIN32
