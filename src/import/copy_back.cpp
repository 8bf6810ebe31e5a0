#include "import/copy_back.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <vector>

#include "data/folders.h"
#include "data/unique_fd.h"
#include "data/winpath.h"
#include "base/error.h"

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
  int err;
  std::string file;  // Windows path
};

// The copy's own words for an operating-system error.
std::string ioText(int err) {
  switch (err) {
    case ENOENT:
      return "No se encuentra el archivo";
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
      return "Nombre de archivo inválido";
    case EMFILE:
    case ENFILE:
      return "Demasiados archivos abiertos";
    case EACCES:
    case EPERM:
    case EROFS:
      return "Acceso al archivo denegado";
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
      return "Disco lleno";
    case EWOULDBLOCK:
    case EBUSY:
    case ETXTBSY:
      return "Error de E/S 32 (el archivo está en uso por otro programa)";
    default:
      return "Error de E/S " + std::to_string(err);
  }
}

int ioCode(int err) {
  switch (err) {
    case ENOENT:
      return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
      return 3;
    case EMFILE:
    case ENFILE:
      return 4;
    case EACCES:
    case EPERM:
    case EROFS:
      return 5;
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
      return 101;
    case EWOULDBLOCK:
    case EBUSY:
    case ETXTBSY:
      return 32;
    default:
      return err;
  }
}

[[noreturn]] void fail(const SysFailure& f, const std::string& consequence) {
  throw IoError(ioCode(f.err), ioText(f.err) + ": " + f.file + ". " + consequence);
}

// Copies a whole file and makes it durable. `mode` for a new destination.
void copyDurably(const fs::path& from, const std::string& fromWin, const fs::path& to,
                 const std::string& toWin, mode_t mode) {
  UniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) throw SysFailure{errno, fromWin};
  UniqueFd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode));
  if (out.get() < 0) throw SysFailure{errno, toWin};
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    ssize_t n = ::read(in.get(), buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      throw SysFailure{errno, fromWin};
    }
    if (n == 0) break;
    for (ssize_t done = 0; done < n;) {
      ssize_t w = ::write(out.get(), buffer.data() + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      // A write that stores nothing is a full disk, whatever errno says.
      if (w <= 0) throw SysFailure{w < 0 ? errno : ENOSPC, toWin};
      done += w;
    }
  }
  if (::fsync(out.get()) != 0 && errno != EINVAL) throw SysFailure{errno, toWin};
  if (out.release() != 0) throw SysFailure{errno, toWin};
}

void syncFolder(const fs::path& folder) {
  UniqueFd d(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (d.get() >= 0) ::fsync(d.get());
}

// Another program holding the file (a whole-file lock, or a record lock of a
// dBase engine anywhere in it), or a file we may not write: refuse before
// anything changes.
void checkReplaceable(const fs::path& host, const std::string& win) {
  // A read-only file stays as it is, even for a user the system lets through.
  struct stat st {};
  if (::stat(host.c_str(), &st) != 0) throw SysFailure{errno, win};
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) throw SysFailure{EACCES, win};
  UniqueFd fd(::open(host.c_str(), O_RDWR | O_CLOEXEC));
  if (fd.get() < 0) throw SysFailure{errno, win};
  if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) throw SysFailure{errno == EINTR ? EWOULDBLOCK : errno, win};
  ::flock(fd.get(), LOCK_UN);
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = 0;
  probe.l_len = 0;
  if (::fcntl(fd.get(), F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK)
    throw SysFailure{EWOULDBLOCK, win};
}

std::string stamp() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
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
  mode_t mode = 0644;
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
    if (!fs::create_directories(folder, ec) && ec) throw SysFailure{ec.value(), folderWin};
    for (const Item& item : items) {
      if (!item.existed) continue;
      copyDurably(item.target, item.targetWin, folder / item.name, winpath::join(folderWin, item.name), 0644);
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
    std::string stem = fs::path(name).stem().string();
    item.tempWin = winpath::join(sourceFolder, stem + ".pasarela-nuevo");
    item.temp = item.target.parent_path() / (stem + ".pasarela-nuevo");
    item.previous = item.target.parent_path() / (stem + ".pasarela-anterior");
    struct stat st {};
    if (::stat(item.target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      item.existed = true;
      item.mode = st.st_mode & 07777;
    }
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
      copyDurably(item.staged, item.stagedWin, item.temp, item.tempWin, item.mode);
    // Keep each old file reachable under a second name, so that it can be
    // put back by a rename, which needs no free space.
    for (const Item& item : items) {
      if (!item.existed) continue;
      std::error_code ec;
      fs::remove(item.previous, ec);
      if (::link(item.target.c_str(), item.previous.c_str()) != 0) {
        copyDurably(item.target, item.targetWin, item.previous, item.targetWin, item.mode);
      }
    }
  } catch (const SysFailure& f) {
    fail(f, kUnchanged);
  }

  size_t replaced = 0;
  try {
    for (const Item& item : items) {
      if (faultHook()) faultHook()(item.name);
      if (::rename(item.temp.c_str(), item.target.c_str()) != 0) throw SysFailure{errno, item.targetWin};
      ++replaced;
    }
  } catch (...) {
    // Put back what was already replaced, so the school never holds one new
    // and one old timetable table.
    std::string notRestored;
    for (size_t i = replaced; i-- > 0;) {
      const Item& item = items[i];
      int r =
          item.existed ? ::rename(item.previous.c_str(), item.target.c_str()) : ::unlink(item.target.c_str());
      if (r != 0) notRestored += (notRestored.empty() ? "" : ", ") + item.targetWin;
    }
    syncFolder(items.front().target.parent_path());
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
  syncFolder(items.front().target.parent_path());
  pruneBackups(winpath::resolve(kBackupRoot));
  return backup;
}

}  // namespace pasarela
