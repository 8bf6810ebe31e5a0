// What the desktop program asks of the windowing host itself: whether a
// window handle names a window, and the system's HTML Help component.
// Both exist only on Windows; elsewhere they answer "not there".
#pragma once

#include <cstdint>

namespace pasarela::os {

// True when `handle` names a live window of this desktop (an HWND on
// Windows). Always false where window handles are no host's own.
bool nativeWindowExists(std::uintptr_t handle);

// The system's HTML Help entry, "HtmlHelpW" of "HHCtrl.ocx", loaded at run
// time so that a machine without it still starts.
class HtmlHelpLibrary {
 public:
  HtmlHelpLibrary();
  ~HtmlHelpLibrary();
  HtmlHelpLibrary(const HtmlHelpLibrary&) = delete;
  HtmlHelpLibrary& operator=(const HtmlHelpLibrary&) = delete;

  bool available() const { return entry_ != nullptr; }

  // One call of the entry. `file` is a zero-ended UTF-16 path or null;
  // `data` a number or the address of a zero-ended UTF-16 text, as the
  // command wants. Nothing happens when the component is missing.
  void call(std::uintptr_t owner, const char16_t* file, unsigned command, std::uintptr_t data) const;

 private:
  void* library_ = nullptr;
  void* entry_ = nullptr;
};

}  // namespace pasarela::os
