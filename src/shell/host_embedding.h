// Putting the main window inside the host's window.
//
// The handle is the host's native window: an X window id on X11, a window
// handle (HWND) on Windows. The window is made borderless and placed at 2, 2;
// it becomes a child of the host window when the handle names an existing
// window. That test is the one piece per windowing system (host_window_*.cpp,
// picked by the build). Handle 0, a handle that names no window, or a
// platform without foreign windows: the window stays top-level, borderless
// at 2, 2 of the screen, and the rest of embedded mode holds.
#pragma once

#include <QWidget>
#include <cstdint>

namespace pasarela::shell {

// True when the platform's windowing system knows a window with this id.
bool hostWindowExists(std::uint32_t handle);

// The platform's window id for the handle of the command line.
WId hostWindowId(std::uint32_t handle);

// Returns true when the window was made a child of the host window.
bool embedInHost(QWidget& window, std::uint32_t handle);

}  // namespace pasarela::shell
