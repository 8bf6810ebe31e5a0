// A stand-in for the timetable generator on Windows, for the desktop
// program's smoke test (run under Wine): it starts the program, finds its
// window, takes a picture of the screen and checks what the program handed
// back.
//
//   win32_host embed <program.exe> <direction> <expected flag> <picture.bmp>
//   win32_host alone <program.exe> <picture.bmp> [<file to wait for>]
//
// embed: opens a window of its own and starts the program with the direction
// and that window's handle in hexadecimal. The program's window must become
// a child of the host's at 2, 2; the program must end by itself, with 0, and
// leave Tempolis.ini beside it with the expected flag.
// alone: starts the program without parameters. Its top-level window must
// come up with the stand-alone caption; once the file given exists the
// picture is taken and the window is closed as a user would. The program
// must end with 0 and write no Tempolis.ini.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr ULONGLONG kTimeoutMs = 180'000;  // Qt's first start under Wine is slow
const wchar_t kStandAloneCaption[] = L"Exportar e importar datos ";

// Runs the host's message loop until `done` says so or the time is up.
bool pumpUntil(HANDLE process, ULONGLONG ms, const std::function<bool()>& done) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  while (GetTickCount64() < deadline) {
    if (done()) return true;
    MsgWaitForMultipleObjects(1, &process, FALSE, 50, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return done();
}

bool ended(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }

std::wstring folderOf(const std::wstring& file) {
  const size_t slash = file.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"." : file.substr(0, slash);
}

bool fileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string readFile(const std::wstring& path) {
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return {};
  std::string text;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
  std::fclose(f);
  return text;
}

// The whole screen as a 24-bit BMP file.
bool savePicture(const std::wstring& path) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool saved = false;
  if (bitmap) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + size;
    if (FILE* f = _wfopen(path.c_str(), L"wb")) {
      saved = std::fwrite(&header, sizeof header, 1, f) == 1 &&
              std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f) == 1 &&
              std::fwrite(bits, 1, size, f) == size;
      saved = std::fclose(f) == 0 && saved;
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return saved;
}

PROCESS_INFORMATION start(const std::wstring& program, const std::wstring& parameters) {
  std::wstring commandLine = L"\"" + program + L"\"" + (parameters.empty() ? L"" : L" " + parameters);
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const std::wstring folder = folderOf(program);
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &process)) {
    std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", program.c_str(), GetLastError());
    return {};
  }
  return process;
}

// The first window of `processId` that `pick` accepts, among the children of
// `parent` (the desktop's when null).
HWND findWindowOf(HWND parent, DWORD processId, const std::function<bool(HWND)>& pick) {
  for (HWND w = parent ? GetWindow(parent, GW_CHILD) : GetTopWindow(nullptr); w;
       w = GetWindow(w, GW_HWNDNEXT)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == processId && IsWindowVisible(w) && pick(w)) return w;
  }
  return nullptr;
}

std::wstring caption(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

DWORD exitCode(HANDLE process) {
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  return code;
}

void stop(PROCESS_INFORMATION& process) {
  if (!ended(process.hProcess)) TerminateProcess(process.hProcess, 99);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

int embed(const std::wstring& program, const std::wstring& direction, const std::wstring& flag,
          const std::wstring& picture) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  windowClass.lpszClassName = L"TempolisStandIn";
  RegisterClassW(&windowClass);
  HWND host =
      CreateWindowExW(0, windowClass.lpszClassName, L"Tempolis", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                      800, 600, nullptr, nullptr, windowClass.hInstance, nullptr);
  ShowWindow(host, SW_SHOW);
  UpdateWindow(host);

  const std::wstring ini = folderOf(program) + L"\\Tempolis.ini";
  DeleteFileW(ini.c_str());
  wchar_t handle[16];
  std::swprintf(handle, 16, L"%lX", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(host)));
  std::wprintf(L"host window %ls\n", handle);
  PROCESS_INFORMATION process = start(program, direction + L" " + handle);
  if (!process.hProcess) return 2;

  int failures = 0;
  HWND child = nullptr;
  pumpUntil(process.hProcess, kTimeoutMs, [&] {
    child = findWindowOf(host, process.dwProcessId, [](HWND) { return true; });
    return child || ended(process.hProcess);
  });
  if (!child) {
    std::fwprintf(stderr, L"the program's window never became a child of the host window\n");
    ++failures;
  } else {
    // Measured once it has settled: it is reparented before it is moved.
    pumpUntil(process.hProcess, 700, [] { return false; });
    RECT r{};
    if (!GetWindowRect(child, &r)) {
      std::fwprintf(stderr, L"the program's window went before it could be measured\n");
      ++failures;
    }
    MapWindowPoints(HWND_DESKTOP, host, reinterpret_cast<POINT*>(&r), 2);
    std::wprintf(L"program window is a child of the host at %ld,%ld, %ldx%ld\n", r.left, r.top,
                 r.right - r.left, r.bottom - r.top);
    if (r.left != 2 || r.top != 2) {
      std::fwprintf(stderr, L"the program's window is at %ld,%ld, not 2,2\n", r.left, r.top);
      ++failures;
    }
    if (!savePicture(picture)) std::fwprintf(stderr, L"no picture taken\n");
  }
  if (!pumpUntil(process.hProcess, kTimeoutMs, [&] { return ended(process.hProcess); })) {
    std::fwprintf(stderr, L"the program did not end by itself\n");
    ++failures;
  } else if (exitCode(process.hProcess) != 0) {
    std::fwprintf(stderr, L"the program ended with %lu\n", exitCode(process.hProcess));
    ++failures;
  }
  stop(process);
  DestroyWindow(host);

  const std::string text = readFile(ini);
  std::printf("Tempolis.ini:\n%s\n", text.c_str());
  const std::string expected = "Transformado=" + std::string(flag.begin(), flag.end());
  if (text.find("[Transformadores]") == std::string::npos || text.find(expected) == std::string::npos) {
    std::fprintf(stderr, "Tempolis.ini does not hold %s\n", expected.c_str());
    ++failures;
  }
  return failures == 0 ? 0 : 1;
}

int alone(const std::wstring& program, const std::wstring& picture, const std::wstring& awaited) {
  const std::wstring ini = folderOf(program) + L"\\Tempolis.ini";
  DeleteFileW(ini.c_str());
  PROCESS_INFORMATION process = start(program, L"");
  if (!process.hProcess) return 2;
  int failures = 0;
  HWND window = nullptr;
  pumpUntil(process.hProcess, kTimeoutMs, [&] {
    window = findWindowOf(nullptr, process.dwProcessId, [](HWND w) { return GetParent(w) == nullptr; });
    return window || ended(process.hProcess);
  });
  if (!window) {
    std::fwprintf(stderr, L"the program showed no window\n");
    stop(process);
    return 1;
  }
  std::wprintf(L"program window \"%ls\"\n", caption(window).c_str());
  if (caption(window) != kStandAloneCaption) {
    std::fwprintf(stderr, L"the caption is not \"%ls\"\n", kStandAloneCaption);
    ++failures;
  }
  if (!awaited.empty() && !pumpUntil(process.hProcess, kTimeoutMs,
                                     [&] { return fileExists(awaited) || ended(process.hProcess); })) {
    std::fwprintf(stderr, L"%ls never appeared\n", awaited.c_str());
    ++failures;
  }
  pumpUntil(process.hProcess, 1500, [] { return false; });  // the last table and the notice
  if (!savePicture(picture)) std::fwprintf(stderr, L"no picture taken\n");
  // A close while a box is up is ignored; the user closes again.
  const bool closed = pumpUntil(process.hProcess, kTimeoutMs, [&] {
    static ULONGLONG next = 0;
    if (ended(process.hProcess)) return true;
    if (GetTickCount64() >= next) {
      if (IsWindow(window)) PostMessageW(window, WM_CLOSE, 0, 0);
      next = GetTickCount64() + 2000;
    }
    return false;
  });
  if (!closed) {
    std::fwprintf(stderr, L"the program did not end when its window was closed\n");
    ++failures;
  } else if (exitCode(process.hProcess) != 0) {
    std::fwprintf(stderr, L"the program ended with %lu\n", exitCode(process.hProcess));
    ++failures;
  }
  stop(process);
  if (fileExists(ini)) {
    std::fwprintf(stderr, L"Tempolis.ini was written in stand-alone mode\n");
    ++failures;
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"embed" && argc == 6) return embed(argv[2], argv[3], argv[4], argv[5]);
  if (mode == L"alone" && (argc == 4 || argc == 5)) return alone(argv[2], argv[3], argc == 5 ? argv[4] : L"");
  std::fputs(
      "usage: win32_host embed <program.exe> <direction> <expected flag> <picture.bmp>\n"
      "       win32_host alone <program.exe> <picture.bmp> [<file to wait for>]\n",
      stderr);
  return 2;
}
