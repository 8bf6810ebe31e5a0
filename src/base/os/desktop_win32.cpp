// Windows: window handles are HWNDs; HTML Help is "HtmlHelpW" of
// "HHCtrl.ocx". The wide entry takes every path and keyword as they are;
// the ANSI one would lose whatever the local code page cannot spell.
#include <windows.h>

#include "base/os/desktop.h"

namespace pasarela::os {

namespace {
using HtmlHelpW = HWND(WINAPI*)(HWND owner, LPCWSTR file, UINT command, DWORD_PTR data);
}  // namespace

bool nativeWindowExists(std::uintptr_t handle) {
  return handle != 0 && IsWindow(reinterpret_cast<HWND>(handle)) != FALSE;
}

HtmlHelpLibrary::HtmlHelpLibrary() {
  HMODULE library = LoadLibraryW(L"HHCtrl.ocx");
  if (!library) return;
  library_ = library;
  // Through void (*)(): the generic function type, so the cast is not taken for a mistake.
  entry_ = reinterpret_cast<void*>(reinterpret_cast<void (*)()>(GetProcAddress(library, "HtmlHelpW")));
}

HtmlHelpLibrary::~HtmlHelpLibrary() {
  entry_ = nullptr;
  if (library_) FreeLibrary(static_cast<HMODULE>(library_));
}

void HtmlHelpLibrary::call(std::uintptr_t owner, const char16_t* file, unsigned command,
                           std::uintptr_t data) const {
  if (!entry_) return;
  const auto entry = reinterpret_cast<HtmlHelpW>(reinterpret_cast<void (*)()>(entry_));
  entry(reinterpret_cast<HWND>(owner), reinterpret_cast<LPCWSTR>(file), command,
        static_cast<DWORD_PTR>(data));
}

}  // namespace pasarela::os
