// Host windows on Windows: the handle is a window handle (HWND).
#include <QGuiApplication>

#include "base/os/desktop.h"
#include "shell/host_embedding.h"

namespace pasarela::shell {

bool hostWindowExists(std::uint32_t handle) {
  if (handle == 0) return false;
  // Another platform plugin (offscreen) has no native windows to attach to.
  if (QGuiApplication::platformName() != QLatin1String("windows")) return false;
  return os::nativeWindowExists(static_cast<std::uintptr_t>(hostWindowId(handle)));
}

// Window handles carry 32 significant bits; a 64-bit process widens one
// passed by a 32-bit program with its sign.
WId hostWindowId(std::uint32_t handle) {
  return static_cast<WId>(static_cast<std::intptr_t>(static_cast<std::int32_t>(handle)));
}

}  // namespace pasarela::shell
