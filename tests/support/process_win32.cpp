// The process runner on Windows: CreateProcessW with a command line quoted
// as the C runtime splits it, a UTF-16 environment block, and pipes drained
// by threads so that a child blocked on a full pipe never waits for us.
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <thread>

#include "support/process.h"
#include "support/wide_text.h"

namespace pasarela::test {

namespace {

// One argument as CommandLineToArgvW and the C runtime read it back.
std::wstring quoteArgument(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring q = L"\"";
  for (auto it = arg.begin();; ++it) {
    std::size_t slashes = 0;
    while (it != arg.end() && *it == L'\\') {
      ++it;
      ++slashes;
    }
    if (it == arg.end()) {
      q.append(slashes * 2, L'\\');
      break;
    }
    if (*it == L'"') {
      q.append(slashes * 2 + 1, L'\\');
      q += L'"';
    } else {
      q.append(slashes, L'\\');
      q += *it;
    }
  }
  return q + L"\"";
}

struct CaseInsensitive {
  bool operator()(const std::wstring& a, const std::wstring& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
      return std::towupper(x) < std::towupper(y);
    });
  }
};

std::wstring environmentBlock(const RunOptions& options) {
  std::map<std::wstring, std::wstring, CaseInsensitive> vars;
  wchar_t* strings = ::GetEnvironmentStringsW();
  for (const wchar_t* e = strings; e && *e; e += std::wcslen(e) + 1) {
    const std::wstring entry = e;
    const auto eq = entry.find(L'=', 1);  // "=C:=C:\x" entries start with '='
    if (eq != std::wstring::npos) vars[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  if (strings) ::FreeEnvironmentStringsW(strings);
  for (const auto& [name, value] : options.environment) vars[widen(name)] = widen(value);
  std::wstring block;
  for (const auto& [name, value] : vars) block += name + L"=" + value + L'\0';
  return block + L'\0';
}

class Handle {
 public:
  Handle() = default;
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { reset(); }
  HANDLE* out() { return &h_; }
  HANDLE get() const { return h_; }
  void reset() {
    if (h_ && h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
    h_ = nullptr;
  }

 private:
  HANDLE h_ = nullptr;
};

// A pipe whose child end is inheritable and whose parent end is not.
bool makePipe(Handle& read, Handle& write, bool childReads) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  if (!::CreatePipe(read.out(), write.out(), &sa, 0)) return false;
  return ::SetHandleInformation(childReads ? write.get() : read.get(), HANDLE_FLAG_INHERIT, 0) != 0;
}

void drain(HANDLE h, std::string* into) {
  char buffer[4096];
  DWORD n = 0;
  while (::ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0) into->append(buffer, n);
}

}  // namespace

RunResult runProcess(const std::vector<std::string>& argv, const RunOptions& options) {
  RunResult result;
  if (argv.empty()) return result;
  Handle inRead, inWrite, outRead, outWrite, errRead, errWrite;
  if (!makePipe(inRead, inWrite, true) || !makePipe(outRead, outWrite, false)) return result;
  if (!options.mergeErrors && !makePipe(errRead, errWrite, false)) return result;

  std::wstring commandLine;
  for (std::size_t i = 0; i < argv.size(); ++i) {
    std::wstring arg = widen(argv[i]);
    if (i == 0) std::replace(arg.begin(), arg.end(), L'/', L'\\');
    commandLine += (i ? L" " : L"") + quoteArgument(arg);
  }
  std::wstring env = environmentBlock(options);

  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = inRead.get();
  si.hStdOutput = outWrite.get();
  si.hStdError = options.mergeErrors ? outWrite.get() : errWrite.get();
  PROCESS_INFORMATION pi{};
  const BOOL created =
      ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                       CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, env.data(), nullptr, &si, &pi);
  inRead.reset();
  outWrite.reset();
  errWrite.reset();
  if (!created) return result;
  result.started = true;
  ::CloseHandle(pi.hThread);

  std::thread outReader(drain, outRead.get(), &result.output);
  std::thread errReader;
  if (!options.mergeErrors) errReader = std::thread(drain, errRead.get(), &result.errors);
  std::thread feeder([&] {
    DWORD written = 0;
    std::size_t fed = 0;
    while (fed < options.input.size() &&
           ::WriteFile(inWrite.get(), options.input.data() + fed,
                       static_cast<DWORD>(options.input.size() - fed), &written, nullptr))
      fed += written;
    inWrite.reset();
  });

  const DWORD wait =
      options.timeoutSeconds > 0 ? static_cast<DWORD>(options.timeoutSeconds) * 1000 : INFINITE;
  if (::WaitForSingleObject(pi.hProcess, wait) == WAIT_TIMEOUT) {
    result.timedOut = true;
    ::TerminateProcess(pi.hProcess, 1);
    ::WaitForSingleObject(pi.hProcess, INFINITE);
  }
  feeder.join();
  outReader.join();
  if (errReader.joinable()) errReader.join();
  DWORD code = 0;
  if (!result.timedOut && ::GetExitCodeProcess(pi.hProcess, &code)) result.exitCode = static_cast<int>(code);
  ::CloseHandle(pi.hProcess);
  return result;
}

std::filesystem::path builtProgram(const std::filesystem::path& withoutSuffix) {
  std::filesystem::path p = withoutSuffix;
  return p.extension() == ".exe" ? p : p += ".exe";
}

}  // namespace pasarela::test
