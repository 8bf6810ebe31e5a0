#include "import/copy_back.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <vector>

#include "base/error.h"
#include "base/os/file.h"
#include "base/os/file_system.h"
#include "base/os/host_path.h"
#include "base/os/io_code.h"
#include "base/os/system.h"
#include "data/folders.h"
#include "data/winpath.h"

namespace pasarela {

namespace {

namespace fs = std::filesystem;

std::function<void(std::string_view)>& faultHook() {
  static std::function<void(std::string_view)> hook;
  return hook;
}

// A failed system call on one file: what the user is told is built from
// both by the caller, which knows what the failure means for the school.
struct SysFailure {
  int code;          // the system's I/O code
  std::string file;  // Windows path
};

// The copy's own words for an I/O code.
std::string ioText(int code) {
  if (code == os::kErrorSharingViolation) return "Error de E/S 32 (el archivo está en uso por otro programa)";
  return os::ioErrorMessage(code);
}

[[noreturn]] void fail(const SysFailure& f, const std::string& consequence) {
  throw IoError(f.code, ioText(f.code) + ": " + f.file + ". " + consequence);
}

// Copies a whole file and makes it durable. A new file gets the
// permissions of `permissionsOf` when given.
void copyDurably(const fs::path& from, const std::string& fromWin, const fs::path& to,
                 const std::string& toWin, const fs::path& permissionsOf = {}) {
  os::File in;
  if (os::Status s = os::File::open(from, os::Access::Read, os::Create::Existing, os::Share::Unlocked, in);
      !s.ok())
    throw SysFailure{s.code, fromWin};
  os::File out;
  if (os::Status s =
          os::File::open(to, os::Access::ReadWrite, os::Create::Truncate, os::Share::Unlocked, out);
      !s.ok())
    throw SysFailure{s.code, toWin};
  if (!permissionsOf.empty()) {
    if (os::Status s = os::copyPermissions(permissionsOf, to); !s.ok()) throw SysFailure{s.code, toWin};
  }
  std::uint64_t copied = 0;
  if (os::Status s = os::copyContents(in, out, copied); !s.ok())
    throw SysFailure{s.code, s.code == os::kErrorReadFault ? fromWin : toWin};
  if (os::Status s = out.sync(); !s.ok()) throw SysFailure{s.code, toWin};
  if (os::Status s = out.close(); !s.ok()) throw SysFailure{s.code, toWin};
}

// Another program holding the file (a whole-file lock, or a record lock of a
// dBase engine anywhere in it), or a file we may not write: refuse before
// anything changes.
void checkReplaceable(const fs::path& host, const std::string& win) {
  if (os::Status s = os::probeReplaceable(host); !s.ok()) throw SysFailure{s.code, win};
}

std::string stamp() {
  std::time_t now = std::time(nullptr);
  std::tm local = os::localTime(now);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

const char* const kBackupRoot = "C:\\KTEMP\\VAVOVIDI\\COPIAS";

// A backup folder's name: "AAAAMMDD-HHMMSS", then "-N" for a later run of
// the same second.
bool isBackupName(const std::string& name) {
  auto digits = [&](size_t from, size_t to) {
    for (size_t i = from; i < to; ++i)
      if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
    return to > from;
  };
  if (name.size() < 15 || !digits(0, 8) || name[8] != '-' || !digits(9, 15)) return false;
  return name.size() == 15 || (name[15] == '-' && digits(16, name.size()));
}

// Keeps the newest kBackupsKept dated folders; the names sort by date.
void pruneBackups(const fs::path& root) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (it->is_directory(ec) && isBackupName(name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    // "-2" suffixes of one second come after the plain stamp.
    return a.substr(0, 15) != b.substr(0, 15) ? a < b : a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  while (names.size() > static_cast<size_t>(kBackupsKept)) {
    fs::remove_all(root / names.front(), ec);
    names.erase(names.begin());
  }
}

struct Item {
  std::string name;
  std::string stagedWin, targetWin, tempWin;
  fs::path staged, target, temp, previous;
  bool existed = false;
};

const char* const kUnchanged = "Los archivos de la carpeta de origen no se han modificado";

std::string backupPrevious(const std::vector<Item>& items) {
  if (std::none_of(items.begin(), items.end(), [](const Item& i) { return i.existed; })) return {};
  winpath::createFolders(kBackupRoot);
  fs::path root = winpath::resolve(kBackupRoot);
  // Runs within one second get "-2", "-3"... after the same stamp, always
  // above any number of that second already used (even if since pruned
  // away), so that names keep sorting in the order the backups were made.
  const std::string when = stamp();
  int used = 0;
  std::error_code ec;
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string other = it->path().filename().string();
    if (other == when) {
      used = std::max(used, 1);
    } else if (other.size() > when.size() + 1 && other.compare(0, when.size() + 1, when + "-") == 0) {
      used = std::max(used, std::atoi(other.c_str() + when.size() + 1));
    }
  }
  ec.clear();
  std::string name = used == 0 ? when : when + "-" + std::to_string(used + 1);
  std::string folderWin = winpath::join(kBackupRoot, name);
  fs::path folder = root / name;
  try {
    if (!fs::create_directories(folder, ec) && ec)
      throw SysFailure{os::ioCodeFromSystemError(ec, os::IoOperation::Create), folderWin};
    for (const Item& item : items) {
      if (!item.existed) continue;
      copyDurably(item.target, item.targetWin, folder / os::hostPath(item.name),
                  winpath::join(folderWin, item.name));
    }
  } catch (const SysFailure& f) {
    fs::remove_all(folder, ec);
    fail(f, std::string("No se ha podido guardar la copia de seguridad de los horarios en ") + kBackupRoot +
                ". " + kUnchanged);
  }
  return folderWin;
}

}  // namespace

void setCopyBackFaultHook(std::function<void(std::string_view)> hook) { faultHook() = std::move(hook); }

void ComprobarCarpetaOrigen(const std::string& sourceFolder) {
  fs::path source = winpath::resolve(sourceFolder);
  fs::path staging = winpath::resolve(kStagingFolder);
  std::error_code ec1, ec2;
  bool same = fs::equivalent(source, staging, ec1);
  if (!same) {
    auto lower = [](std::string s) {
      std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
      return s;
    };
    auto a = fs::weakly_canonical(source, ec1), b = fs::weakly_canonical(staging, ec2);
    same = !ec1 && !ec2 && lower(a.lexically_normal().string()) == lower(b.lexically_normal().string());
  }
  if (same) {
    throw Error("La carpeta de origen " + sourceFolder + " es la carpeta de trabajo " + kStagingFolder +
                " de PasarelaHoraria, no la de los datos de ORBENTA: elija la carpeta de datos de ORBENTA. "
                "No se ha modificado ningún archivo");
  }
}

void ComprobarHorariosOrigen(const std::string& sourceFolder) {
  for (const char* name : kTimetableFiles) {
    std::string path = winpath::join(sourceFolder, name);
    if (!winpath::fileExists(path)) {
      throw Error(
          "No se encuentra el archivo " + path +
          ": la importación reemplaza horgrup.dbf y horprof.dbf de la carpeta de origen y necesita los "
          "dos. No se ha modificado ningún archivo");
    }
  }
}

std::string CopiarHorariosAlOrigen(const std::string& sourceFolder) {
  std::vector<Item> items;
  for (const char* name : kTimetableFiles) {
    Item item;
    item.name = name;
    item.stagedWin = winpath::join(kStagingFolder, name);
    item.targetWin = winpath::join(sourceFolder, name);
    item.staged = winpath::resolve(item.stagedWin);
    item.target = winpath::resolve(item.targetWin);
    std::string stem = os::stemUtf8(os::hostPath(name));
    item.tempWin = winpath::join(sourceFolder, stem + ".pasarela-nuevo");
    item.temp = item.target.parent_path() / os::hostPath(stem + ".pasarela-nuevo");
    item.previous = item.target.parent_path() / os::hostPath(stem + ".pasarela-anterior");
    std::error_code ec;
    item.existed = fs::is_regular_file(item.target, ec);
    if (!winpath::fileExists(item.stagedWin)) {
      throw Error("No se encuentra el archivo " + item.stagedWin + ". " + kUnchanged);
    }
    items.push_back(std::move(item));
  }

  try {
    for (const Item& item : items)
      if (item.existed) checkReplaceable(item.target, item.targetWin);
  } catch (const SysFailure& f) {
    fail(f, kUnchanged);
  }

  std::string backup = backupPrevious(items);

  // From here on the source folder holds our temporary files: remove them
  // on every way out.
  struct Leftovers {
    std::vector<Item>& items;
    ~Leftovers() {
      std::error_code ec;
      for (const Item& item : items) {
        fs::remove(item.temp, ec);
        fs::remove(item.previous, ec);
      }
    }
  } leftovers{items};

  try {
    for (const Item& item : items)
      copyDurably(item.staged, item.stagedWin, item.temp, item.tempWin,
                  item.existed ? item.target : fs::path());
    // Keep each old file reachable under a second name, so that it can be
    // put back by a rename, which needs no free space.
    for (const Item& item : items) {
      if (!item.existed) continue;
      std::error_code ec;
      fs::remove(item.previous, ec);
      if (os::Status s = os::linkOrCopy(item.target, item.previous); !s.ok())
        throw SysFailure{s.code, item.targetWin};
    }
  } catch (const SysFailure& f) {
    fail(f, kUnchanged);
  }

  size_t replaced = 0;
  try {
    for (const Item& item : items) {
      if (faultHook()) faultHook()(item.name);
      if (os::Status s = os::replaceFile(item.temp, item.target); !s.ok())
        throw SysFailure{s.code, item.targetWin};
      ++replaced;
    }
  } catch (...) {
    // Put back what was already replaced, so the school never holds one new
    // and one old timetable table.
    std::string notRestored;
    for (size_t i = replaced; i-- > 0;) {
      const Item& item = items[i];
      os::Status r = item.existed ? os::replaceFile(item.previous, item.target) : os::removeFile(item.target);
      if (!r.ok()) notRestored += (notRestored.empty() ? "" : ", ") + item.targetWin;
    }
    std::string consequence =
        notRestored.empty()
            ? std::string(kUnchanged)
            : "¡Atención! No se ha podido restaurar " + notRestored +
                  (backup.empty() ? std::string() : ": la versión anterior está en " + backup);
    try {
      throw;
    } catch (const SysFailure& f) {
      fail(f, consequence);
    } catch (const std::exception& e) {
      throw Error(std::string(e.what()) + ". " + consequence);
    }
  }
  pruneBackups(winpath::resolve(kBackupRoot));
  return backup;
}

}  // namespace pasarela
