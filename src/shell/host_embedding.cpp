#include "shell/host_embedding.h"

#include <QGuiApplication>
#include <QWindow>

namespace pasarela::shell {

bool embedInHost(QWidget& window, std::uint32_t handle) {
  window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  // Placed before the native window exists, so that it enters the host's
  // window already at 2, 2 rather than at 0, 0 and then moves.
  window.move(2, 2);
  bool embedded = false;
  if (hostWindowExists(handle)) {
    if (QWindow* host = QWindow::fromWinId(hostWindowId(handle))) {
      window.winId();  // the native window must exist before it is reparented
      window.windowHandle()->setParent(host);
      embedded = true;
    }
  }
  window.move(2, 2);
  return embedded;
}

}  // namespace pasarela::shell
