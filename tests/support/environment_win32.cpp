#include <windows.h>

#include <stdlib.h>

#include <atomic>
#include <stdexcept>

#include "support/environment.h"
#include "support/readers.h"
#include "support/wide_text.h"

namespace pasarela::test {

// _wputenv_s keeps the C runtime's copy (getenv, _wgetenv) and the
// process's own block (GetEnvironmentVariableW) in step.
void setEnvironment(const std::string& name, const std::string& value) {
  ::_wputenv_s(widen(name).c_str(), widen(value).c_str());
}

void unsetEnvironment(const std::string& name) { ::_wputenv_s(widen(name).c_str(), L""); }

namespace {

std::filesystem::path makeFolderUnder(const std::filesystem::path& base, const std::string& prefix) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string name = prefix + std::to_string(::GetCurrentProcessId()) + "-" +
                             std::to_string(::GetTickCount()) + "-" + std::to_string(counter++);
    std::filesystem::path folder = base / widen(name);
    std::error_code ec;
    if (std::filesystem::create_directory(folder, ec)) return folder;
  }
  throw std::runtime_error("cannot make a temporary folder under " + narrow(base.wstring()));
}

}  // namespace

std::filesystem::path makeTemporaryFolder(const std::string& prefix) {
  return makeFolderUnder(std::filesystem::temp_directory_path(), prefix);
}

std::filesystem::path makeDriveFolder(const std::string& prefix) {
  std::error_code ec;
  const std::filesystem::path wineRoot = L"Z:\\tmp";
  if (std::filesystem::is_directory(wineRoot, ec)) return makeFolderUnder(wineRoot, prefix);
  return makeTemporaryFolder(prefix);
}

bool hostIsWindows() { return true; }

}  // namespace pasarela::test
