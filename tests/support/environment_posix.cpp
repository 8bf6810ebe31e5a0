#include <stdlib.h>

#include <cerrno>
#include <stdexcept>

#include "support/environment.h"
#include "support/readers.h"

namespace pasarela::test {

void setEnvironment(const std::string& name, const std::string& value) {
  ::setenv(name.c_str(), value.c_str(), 1);
}

void unsetEnvironment(const std::string& name) { ::unsetenv(name.c_str()); }

std::filesystem::path makeTemporaryFolder(const std::string& prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder " + pattern);
  return pattern;
}

std::filesystem::path makeDriveFolder(const std::string& prefix) { return makeTemporaryFolder(prefix); }

bool hostIsWindows() { return false; }

}  // namespace pasarela::test
