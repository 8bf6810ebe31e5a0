#include "shell/host_embedding.h"

#include <QGuiApplication>
#include <QWindow>

#ifdef PASARELA_HAVE_X11
#include <X11/Xlib.h>
#endif

namespace pasarela::shell {

#ifdef PASARELA_HAVE_X11
namespace {
int ignoreXError(Display*, XErrorEvent*) { return 0; }
}  // namespace
#endif

bool hostWindowExists(std::uint32_t handle) {
  if (handle == 0) return false;
#ifdef PASARELA_HAVE_X11
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
#else
  return false;
#endif
}

bool embedInHost(QWidget& window, std::uint32_t handle) {
  window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  bool embedded = false;
  if (hostWindowExists(handle)) {
    if (QWindow* host = QWindow::fromWinId(static_cast<WId>(handle))) {
      window.winId();  // the native window must exist before it is reparented
      window.windowHandle()->setParent(host);
      embedded = true;
    }
  }
  window.move(2, 2);
  return embedded;
}

}  // namespace pasarela::shell
