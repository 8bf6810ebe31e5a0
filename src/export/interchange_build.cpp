#include "export/interchange_build.h"

#include <atomic>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <utility>
#include <vector>

#include "base/error.h"
#include "base/os/file_system.h"
#include "base/os/io_code.h"
#include "base/os/system.h"
#include "data/folders.h"
#include "data/interchange_set.h"
#include "data/winpath.h"
#include "export/interchange_tables.h"

namespace pasarela {

namespace fs = std::filesystem;

namespace {

const char* const kExtensions[] = {".DBF", ".MDX"};

std::string runFolderName() {
  static std::atomic<unsigned> runs{0};
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  return "PASARELA-NUEVO-" + std::to_string(os::processId()) + "-" + std::to_string(now % 1000000) + "-" +
         std::to_string(++runs);
}

}  // namespace

InterchangeBuild::InterchangeBuild() {
  if (!winpath::folderExists(kInterchangeFolder)) winpath::createFolders(kInterchangeFolder);
  folder_ = winpath::join(kInterchangeFolder, runFolderName());
  if (!winpath::createFolders(folder_) || !winpath::folderExists(folder_)) {
    throw Error("No se puede crear la carpeta '" + folder_ +
                "': compruebe que se puede escribir en C:\\KTEMP. No se ha modificado ninguna tabla de "
                "intercambio");
  }
}

InterchangeBuild::~InterchangeBuild() {
  std::error_code ec;
  fs::remove_all(winpath::resolve(folder_), ec);
}

void InterchangeBuild::replaceInterchangeSet() {
  const fs::path build = winpath::resolve(folder_);
  const fs::path previous = build / "ANTERIOR";
  std::error_code ec;
  fs::create_directory(previous, ec);
  const bool wasIncomplete = interchangeIncomplete();

  // Every move done, to be undone in reverse when a later one fails.
  std::vector<std::pair<fs::path, fs::path>> moved;
  auto move = [&](const fs::path& from, const fs::path& to, const std::string& windowsName) {
    const os::Status s = os::replaceFile(from, to);
    if (!s.ok()) throw IoError(s.code, os::ioErrorMessage(s.code) + ": '" + windowsName + "'");
    moved.emplace_back(from, to);
  };
  try {
    markInterchangeIncomplete();
    std::vector<fs::path> targets;
    for (const char* base : kInterchangeTables) {
      for (const char* ext : kExtensions) {
        const std::string name = std::string(base) + ext;
        const std::string windowsName = winpath::join(kInterchangeFolder, name);
        // The previous file under whatever case it has; the new one takes its name.
        const fs::path target = winpath::resolve(windowsName);
        if (fs::is_regular_file(target, ec)) move(target, previous / name, windowsName);
        if (fs::is_regular_file(build / name, ec)) targets.push_back(target);
      }
    }
    for (const fs::path& target : targets) {
      const std::string name = target.filename().string();
      fs::path built = build / name;
      if (!fs::is_regular_file(built, ec)) {
        // The previous file had another case: the new one is upper case.
        for (const auto& entry : fs::directory_iterator(build, ec)) {
          std::string candidate = entry.path().filename().string();
          std::string a = candidate, b = name;
          for (char& c : a) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
          for (char& c : b) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
          if (a == b) built = entry.path();
        }
      }
      move(built, target, winpath::join(kInterchangeFolder, name));
    }
    markInterchangeComplete();
  } catch (const Error& e) {
    std::string notRestored;
    for (auto it = moved.rbegin(); it != moved.rend(); ++it) {
      if (!os::replaceFile(it->second, it->first).ok())
        notRestored += (notRestored.empty() ? "" : ", ") + winpath::fromHost(it->first);
    }
    if (!notRestored.empty()) {
      throw Error(std::string(e.what()) + ". ¡Atención! No se han podido restaurar en C:\\KTEMP: " +
                  notRestored + ". Vuelva a exportar los datos");
    }
    if (!wasIncomplete) markInterchangeComplete();
    throw Error(
        std::string(e.what()) +
        ". No se han podido reemplazar las tablas de intercambio; las anteriores siguen como estaban");
  }
}

}  // namespace pasarela
