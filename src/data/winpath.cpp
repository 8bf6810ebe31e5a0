#include "data/winpath.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "base/error.h"
#include "base/os/host_path.h"
#include "base/os/system.h"

namespace fs = std::filesystem;

namespace pasarela::winpath {
namespace {

char upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Splits on either separator; empty components (doubled separators) vanish.
std::vector<std::string> components(const std::string& text) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : text) {
    if (isSeparator(c)) {
      if (!cur.empty()) out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}

bool hasDrive(const std::string& text) {
  return text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':';
}

// Case folding good enough for file names: ASCII and the Latin-1 letters
// (UTF-8 C3 80..C3 9E fold to C3 A0..C3 BE, except the multiplication sign).
std::string fold(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == 0xC3 && i + 1 < s.size()) {
      unsigned char n = static_cast<unsigned char>(s[i + 1]);
      if (n >= 0x80 && n <= 0x9E && n != 0x97) n = static_cast<unsigned char>(n + 0x20);
      out += static_cast<char>(c);
      out += static_cast<char>(n);
      ++i;
    } else {
      out += static_cast<char>(std::tolower(c));
    }
  }
  return out;
}

// The entry of `dir` spelled like `name` without regard to case; `name`
// itself when it exists as given or nothing matches.
std::string matchComponent(const fs::path& dir, const std::string& name) {
  // Native drives ignore case themselves.
  if (name == "." || name == ".." || os::hasNativeDrives()) return name;
  std::error_code ec;
  if (fs::exists(dir / os::hostPath(name), ec)) return name;
  const std::string wanted = fold(name);
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string candidate = os::fileNameUtf8(it->path());
    if (fold(candidate) == wanted) return candidate;
  }
  return name;
}

fs::path resolveUnder(fs::path base, const std::vector<std::string>& parts) {
  for (const std::string& part : parts) {
    if (part == ".") continue;
    if (part == "..") {
      base = base.parent_path();
      continue;
    }
    base /= os::hostPath(matchComponent(base, part));
  }
  return base;
}

std::optional<fs::path> envDrive(char letter) {
  std::string var = std::string("PASARELA_DRIVE_") + upper(letter);
  std::optional<std::string> value = os::environment(var.c_str());
  if (value && !value->empty()) return os::hostPath(*value);
  return std::nullopt;
}

fs::path homeFolder() {
  std::optional<std::string> home = os::environment("HOME");
  return home && !home->empty() ? os::hostPath(*home) : fs::path("/");
}

std::optional<fs::path> nativeDrive(char letter) {
  if (os::nativeDrives().find(letter) == std::string::npos) return std::nullopt;
  return os::hostPath(std::string(1, letter) + ":\\");
}

std::optional<fs::path> wineDrive(char letter) {
  if (os::hasNativeDrives()) return std::nullopt;
  std::optional<std::string> prefix = os::environment("WINEPREFIX");
  fs::path root = prefix && !prefix->empty() ? os::hostPath(*prefix) : homeFolder() / ".wine";
  fs::path device = root / "dosdevices" / (std::string(1, static_cast<char>(std::tolower(letter))) + ":");
  std::error_code ec;
  if (fs::is_directory(device, ec)) return device;
  return std::nullopt;
}

// The per-user data folder that stands for C: when nothing else maps it.
fs::path dataDriveC() {
  std::optional<std::string> xdg = os::environment("XDG_DATA_HOME");
  fs::path base = xdg && !xdg->empty() ? os::hostPath(*xdg) : homeFolder() / ".local" / "share";
  fs::path root = base / "PasarelaHoraria" / "drive_c";
  std::error_code ec;
  fs::create_directories(root, ec);
  return root;
}

std::string joinBackslash(const std::vector<std::string>& parts, std::size_t from) {
  std::string out;
  for (std::size_t i = from; i < parts.size(); ++i) {
    if (!out.empty()) out += '\\';
    out += parts[i];
  }
  return out;
}

fs::path canonicalOrSelf(const fs::path& p) {
  std::error_code ec;
  fs::path c = fs::weakly_canonical(p, ec);
  return ec ? p.lexically_normal() : c;
}

// Number of leading components `prefix` shares with `path`, or -1 when it is
// not a prefix of it.
int prefixLength(const fs::path& prefix, const fs::path& path) {
  auto pi = prefix.begin();
  auto qi = path.begin();
  int n = 0;
  for (; pi != prefix.end(); ++pi, ++qi, ++n) {
    if (pi->empty()) continue;  // trailing separator
    if (qi == path.end() || *pi != *qi) return -1;
  }
  return n;
}

}  // namespace

std::optional<fs::path> driveRoot(char letter) {
  letter = upper(letter);
  if (letter < 'A' || letter > 'Z') return std::nullopt;
  if (auto env = envDrive(letter)) return env;
  // On Windows the drives are the system's own; only the variables above
  // override them (the tests' drive C).
  if (os::hasNativeDrives()) return nativeDrive(letter);
  if (auto wine = wineDrive(letter)) return wine;
  if (letter == 'C') return dataDriveC();
  if (letter == 'Z') return fs::path("/");
  return std::nullopt;
}

std::string drives() {
  std::string out;
  const bool native = os::hasNativeDrives();
  const std::string nativeLetters = os::nativeDrives();
  for (char c = 'A'; c <= 'Z'; ++c) {
    bool mapped = native ? nativeLetters.find(c) != std::string::npos : wineDrive(c) || c == 'C' || c == 'Z';
    if (mapped || envDrive(c)) out += c;
  }
  return out;
}

fs::path resolve(const std::string& windowsPath) {
  if (hasDrive(windowsPath)) {
    char letter = upper(windowsPath[0]);
    auto root = driveRoot(letter);
    if (!root) throw Error("La unidad " + std::string(1, letter) + ": no existe");
    return resolveUnder(*root, components(windowsPath.substr(2)));
  }
  std::error_code ec;
  fs::path cwd = fs::current_path(ec);
  if (!windowsPath.empty() && isSeparator(windowsPath[0])) {
    // Rooted without a drive: the drive of the current folder.
    std::string here = fromHost(cwd);
    auto root = driveRoot(here[0]);
    return resolveUnder(root ? *root : fs::path("/"), components(windowsPath));
  }
  return resolveUnder(cwd, components(windowsPath));
}

std::string fromHost(const fs::path& hostPath) {
  std::error_code ec;
  fs::path absolute = fs::absolute(hostPath, ec);
  fs::path path = canonicalOrSelf(absolute);
  char best = 'Z';
  int bestLength = -1;
  fs::path bestRoot = "/";
  for (char c : drives()) {
    auto root = driveRoot(c);
    if (!root) continue;
    fs::path canonicalRoot = canonicalOrSelf(fs::absolute(*root, ec));
    int n = prefixLength(canonicalRoot, path);
    if (n > bestLength) {
      best = c;
      bestLength = n;
      bestRoot = canonicalRoot;
    }
  }
  std::vector<std::string> parts;
  fs::path rest = path.lexically_relative(bestRoot);
  for (const auto& part : rest) {
    std::string s = os::utf8(part);
    if (!s.empty() && s != ".") parts.push_back(s);
  }
  return std::string(1, best) + ":\\" + joinBackslash(parts, 0);
}

std::string fromCommandLine(const std::string& text) {
  if (hasDrive(text) || text.find('\\') != std::string::npos) {
    std::vector<std::string> parts = components(hasDrive(text) ? text.substr(2) : text);
    std::string body = joinBackslash(parts, 0);
    if (hasDrive(text)) return std::string(1, upper(text[0])) + ":\\" + body;
    bool rooted = !text.empty() && isSeparator(text[0]);
    return (rooted ? "\\" : "") + body;
  }
  return fromHost(os::hostPath(text));
}

std::string fileNamePart(const std::string& windowsPath) {
  std::size_t pos = windowsPath.find_last_of("\\/:");
  return pos == std::string::npos ? windowsPath : windowsPath.substr(pos + 1);
}

std::string folderPart(const std::string& windowsPath) {
  std::size_t pos = windowsPath.find_last_of("\\/");
  if (pos == std::string::npos) {
    return hasDrive(windowsPath) ? windowsPath.substr(0, 2) : std::string();
  }
  return windowsPath.substr(0, pos);
}

std::string join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (isSeparator(folder.back())) return folder + name;
  return folder + '\\' + name;
}

bool fileExists(const std::string& windowsPath) {
  std::error_code ec;
  fs::path p = resolve(windowsPath);
  return fs::is_regular_file(p, ec);
}

bool folderExists(const std::string& windowsPath) {
  std::error_code ec;
  return fs::is_directory(resolve(windowsPath), ec);
}

bool createFolders(const std::string& windowsPath) {
  std::error_code ec;
  fs::path p = resolve(windowsPath);
  fs::create_directories(p, ec);
  return fs::is_directory(p, ec);
}

bool deleteFile(const std::string& windowsPath) {
  std::error_code ec;
  fs::path p = resolve(windowsPath);
  if (!fs::is_regular_file(p, ec)) return false;
  return fs::remove(p, ec);
}

}  // namespace pasarela::winpath
