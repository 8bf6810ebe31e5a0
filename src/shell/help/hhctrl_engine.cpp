// The Windows engine: the system's HTML Help, "HtmlHelpW" of "HHCtrl.ocx",
// loaded at run time. The wide entry takes every path and keyword as they
// are; the ANSI one would lose whatever the local code page cannot spell.
#include <windows.h>

#include "shell/help/html_help_engine.h"

namespace pasarela::help {

namespace {

using HtmlHelpW = HWND(WINAPI*)(HWND owner, LPCWSTR file, UINT command, DWORD_PTR data);

// QString holds UTF-16 as Windows does; the text ends in a zero.
const wchar_t* wide(const QString& text) { return reinterpret_cast<const wchar_t*>(text.utf16()); }

class HHCtrlEngine final : public HtmlHelpEngine {
 public:
  HHCtrlEngine() {
    library_ = LoadLibraryW(L"HHCtrl.ocx");
    // Through void (*)(): the generic function type, so the cast is not taken for a mistake.
    if (library_)
      entry_ =
          reinterpret_cast<HtmlHelpW>(reinterpret_cast<void (*)()>(GetProcAddress(library_, "HtmlHelpW")));
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
    const HWND window = reinterpret_cast<HWND>(owner);
    if (const auto* keyword = std::get_if<QString>(&data)) {
      entry_(window, wide(file), command, reinterpret_cast<DWORD_PTR>(wide(*keyword)));
    } else {
      entry_(window, wide(file), command, static_cast<DWORD_PTR>(std::get<quintptr>(data)));
    }
  }

 private:
  HMODULE library_ = nullptr;
  HtmlHelpW entry_ = nullptr;
};

}  // namespace

std::shared_ptr<HtmlHelpEngine> createPlatformHtmlHelpEngine() { return std::make_shared<HHCtrlEngine>(); }

}  // namespace pasarela::help
