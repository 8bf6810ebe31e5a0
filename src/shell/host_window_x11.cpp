// Host windows on X11: the handle is an X window id.
#include <QGuiApplication>

#include "shell/host_embedding.h"

// After Qt: Xlib's macros (Status, Bool) would break Qt's headers.
#include <X11/Xlib.h>

namespace pasarela::shell {

namespace {
// A window id that names nothing raises BadWindow; that is the answer, not an error.
int ignoreXError(Display*, XErrorEvent*) { return 0; }
}  // namespace

bool hostWindowExists(std::uint32_t handle) {
  if (handle == 0) return false;
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return false;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  XErrorHandler previous = XSetErrorHandler(ignoreXError);
  XWindowAttributes attributes;
  const Status found = XGetWindowAttributes(display, static_cast<Window>(handle), &attributes);
  XSync(display, False);
  XSetErrorHandler(previous);
  XCloseDisplay(display);
  return found != 0;
}

WId hostWindowId(std::uint32_t handle) { return static_cast<WId>(handle); }

}  // namespace pasarela::shell
