// A stand-in for the timetable generator: it creates an X window, starts
// PasarelaHoraria inside it with a direction and the window's id in
// hexadecimal, checks that the utility's window becomes a child of its
// window at 2, 2, and after the utility exits reads Tempolis.ini beside the
// utility's executable.
//
//   embed_host <scripted program> <work folder> <direction> <expected flag> [unknown]
//
// With "unknown" the utility is given a handle that names no window: it must
// run as a top-level window and still hand the flag back.
//
// The host's C:\OB holds the sample school. The utility given is the
// scripted program, which presses the direction's button and answers the
// message boxes as a user would; the transfer's end must close it.
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "sample/sample_school.h"

namespace fs = std::filesystem;

namespace {

// A window of the utility may close between the listing of the host's
// children and the question about it: that is no error of the host. Xlib's
// default handler would end the host over it.
int ignoreVanishedWindows(Display* display, XErrorEvent* error) {
  if (error->error_code == BadWindow || error->error_code == BadDrawable) return 0;
  char text[256];
  XGetErrorText(display, error->error_code, text, sizeof text);
  std::fprintf(stderr, "X error: %s (request %d)\n", text, error->request_code);
  std::exit(1);
}

// A direct child of `host` with the main window's size, or 0.
Window findUtilityWindow(Display* display, Window host, int* x, int* y) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, host, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < count && !found; ++i) {
    XWindowAttributes a;
    if (XGetWindowAttributes(display, children[i], &a) && a.width == 599 && a.height == 308) {
      found = children[i];
      *x = a.x;
      *y = a.y;
    }
  }
  if (children) XFree(children);
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 && argc != 6) {
    std::fprintf(stderr, "usage: embed_host <PasarelaHoraria> <work folder> <direction> <expected flag>\n");
    return 2;
  }
  const fs::path work = argv[2];
  const std::string direction = argv[3];
  const std::string expected = std::string("Transformado=") + argv[4];
  const bool unknownHandle = argc == 6 && std::string(argv[5]) == "unknown";
  fs::remove_all(work);
  fs::create_directories(work / "exe");
  fs::create_directories(work / "c" / "OB");
  fs::create_directories(work / "c" / "KTEMP" / "VAVOVIDI");
  ::setenv("PASARELA_DRIVE_C", (work / "c").c_str(), 1);
  pasarela::sample::writeSampleSchool("C:\\OB", {});
  const fs::path exe = work / "exe" / "PasarelaHoraria";
  fs::copy_file(argv[1], exe);

  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "no X display\n");
    return 2;
  }
  XSetErrorHandler(ignoreVanishedWindows);
  const Window host =
      XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 800, 600, 0, 0, 0xFFFFFF);
  XMapWindow(display, host);
  XSync(display, False);
  char handle[32];
  std::snprintf(handle, sizeof handle, "%lX",
                unknownHandle ? 0x7FFFFFF0ul : static_cast<unsigned long>(host));

  const pid_t child = fork();
  if (child == 0) {
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    if (chdir((work / "c").c_str()) != 0) _exit(126);
    execl(exe.c_str(), exe.c_str(), direction.c_str(), handle, static_cast<char*>(nullptr));
    _exit(127);
  }

  bool seen = false;
  int x = -1, y = -1, status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  for (;;) {
    // Every position the window takes while it is the host's child must be 2, 2.
    int nowX = -1, nowY = -1;
    if (findUtilityWindow(display, host, &nowX, &nowY)) {
      if (!seen || nowX != x || nowY != y)
        std::printf("utility window is a child of the host at %d,%d\n", nowX, nowY);
      if (!seen || nowX != 2 || nowY != 2) {
        x = nowX;
        y = nowY;
      }
      seen = true;
    }
    const pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) break;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      std::fprintf(stderr, "the utility did not end\n");
      return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  XCloseDisplay(display);

  int failures = 0;
  if (unknownHandle) {
    if (seen) {
      std::fprintf(stderr, "a window appeared in the host although it was not named\n");
      ++failures;
    }
  } else if (!seen) {
    std::fprintf(stderr, "the utility's window never became a child of the host window\n");
    ++failures;
  } else if (x != 2 || y != 2) {
    std::fprintf(stderr, "the utility's window is at %d,%d, not 2,2\n", x, y);
    ++failures;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "the utility ended with status %d\n", status);
    ++failures;
  }
  std::ifstream in(work / "exe" / "Tempolis.ini", std::ios::binary);
  const std::string ini{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::printf("Tempolis.ini:\n%s\n", ini.c_str());
  if (ini.find("[Transformadores]") == std::string::npos || ini.find(expected) == std::string::npos) {
    std::fprintf(stderr, "Tempolis.ini does not hold %s\n", expected.c_str());
    ++failures;
  }
  if (failures == 0) fs::remove_all(work);
  return failures == 0 ? 0 : 1;
}
