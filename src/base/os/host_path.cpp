#include "base/os/host_path.h"

namespace fs = std::filesystem;

namespace pasarela::os {

// char8_t text is UTF-8 to std::filesystem on every host, where plain char
// text is the ANSI code page on Windows.
fs::path hostPath(std::string_view utf8) {
  return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string utf8(const fs::path& path) {
  std::u8string s = path.u8string();
  return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

std::string fileNameUtf8(const fs::path& path) { return utf8(path.filename()); }
std::string stemUtf8(const fs::path& path) { return utf8(path.stem()); }

}  // namespace pasarela::os
