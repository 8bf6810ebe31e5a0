#include "import/copy_back.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/os/file.h"
#include "base/os/file_system.h"
#include "base/os/host_path.h"
#include "base/os/io_code.h"
#include "base/os/system.h"
#include "data/folders.h"
#include "data/winpath.h"
#include "dbase/dbf_table.h"
#include "dbase/mdx.h"
#include "dbase/mdx_rebuild.h"

namespace pasarela {

namespace {

namespace fs = std::filesystem;

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
  dbase::writeHeldRecords();  // the copy reads the file itself
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
const char* const kPartialSuffix = ".incompleta";

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
  // Backups a killed run left half made never count; they go.
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() > std::char_traits<char>::length(kPartialSuffix) &&
        name.compare(name.size() - std::char_traits<char>::length(kPartialSuffix), std::string::npos,
                     kPartialSuffix) == 0) {
      std::error_code removed;
      fs::remove_all(it->path(), removed);
    }
  }
  ec.clear();
  while (names.size() > static_cast<size_t>(kBackupsKept)) {
    fs::remove_all(root / names.front(), ec);
    names.erase(names.begin());
  }
}

// One file of the school's folder replaced by the copy back: a timetable
// table (copied from its staged file) or its rebuilt index (`image`).
struct Item {
  std::string name;
  std::string stagedWin, targetWin, tempWin;
  fs::path staged, target, temp, previous;
  bool existed = false;
  bool index = false;
  std::string image;
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
  // Built under a name that does not count as a backup, and given its dated
  // name only once every file is in it: a killed run leaves no half backup
  // that would rotate a good one out.
  const std::string partialName = name + kPartialSuffix;
  fs::path partial = root / partialName;
  try {
    fs::remove_all(partial, ec);
    if (!fs::create_directories(partial, ec) && ec)
      throw SysFailure{os::ioCodeFromSystemError(ec, os::IoOperation::Create), folderWin};
    for (const Item& item : items) {
      if (!item.existed || item.index) continue;
      copyDurably(item.target, item.targetWin, partial / os::hostPath(item.name),
                  winpath::join(folderWin, item.name));
      // The table's index and memo files go with it, so that restoring a
      // backup restores a set that fits together.
      for (const char* extension : {"MDX", "DBT", "FPT"}) {
        const fs::path sibling = dbase::siblingFile(item.target, extension);
        if (!fs::is_regular_file(sibling, ec)) continue;
        const std::string siblingName = os::fileNameUtf8(sibling);
        copyDurably(sibling, winpath::fromHost(sibling), partial / sibling.filename(),
                    winpath::join(folderWin, siblingName));
      }
    }
    fs::rename(partial, root / name, ec);
    if (ec) throw SysFailure{os::ioCodeFromSystemError(ec, os::IoOperation::Create), folderWin};
  } catch (const SysFailure& f) {
    fs::remove_all(partial, ec);
    fail(f, std::string("No se ha podido guardar la copia de seguridad de los horarios en ") + kBackupRoot +
                ". " + kUnchanged);
  }
  return folderWin;
}

// The school's production index of a replaced table, built again for the new
// records when every tag is on the table's fields, so that it goes in with
// the table. An index on expressions stays as it is (the user reorganises
// the data in the school-management program, as the import panel says).
std::optional<Item> rebuiltIndex(const Item& table, const std::string& sourceFolder, const std::string& run) {
  std::error_code ec;
  const fs::path mdx = dbase::siblingFile(table.target, "MDX");
  if (!table.existed || !fs::is_regular_file(mdx, ec)) return std::nullopt;
  const dbase::RebuiltIndex rebuilt = dbase::rebuildIndexFor(table.staged, table.stagedWin, mdx);
  if (rebuilt.outcome != dbase::RebuiltIndex::Outcome::Rebuilt) return std::nullopt;
  Item item;
  item.index = true;
  item.existed = true;
  item.name = os::fileNameUtf8(mdx);
  item.target = mdx;
  item.targetWin = winpath::join(sourceFolder, item.name);
  const std::string stem = os::stemUtf8(os::hostPath(table.name));
  item.temp = mdx.parent_path() / os::hostPath(stem + ".pasarela-nuevo-mdx-" + run);
  item.tempWin = winpath::join(sourceFolder, stem + ".pasarela-nuevo-mdx-" + run);
  item.previous = mdx.parent_path() / os::hostPath(stem + ".pasarela-anterior-mdx-" + run);
  item.image = dbase::mdxImage(item.targetWin, rebuilt.tableName, rebuilt.ldid, rebuilt.tags);
  return item;
}

// Writes a rebuilt index under its temporary name, durably, with the
// permissions of the index it replaces.
void writeIndexDurably(const Item& item) {
  if (os::Status s = os::writeReplacing(item.temp, {item.image}); !s.ok())
    throw SysFailure{s.code, item.tempWin};
  if (os::Status s = os::copyPermissions(item.target, item.temp); !s.ok())
    throw SysFailure{s.code, item.tempWin};
}

}  // namespace

bool RecuperarCopiaInterrumpida(const std::string& sourceFolder) {
  if (!winpath::folderExists(sourceFolder)) return false;
  const fs::path folder = winpath::resolve(sourceFolder);
  const fs::path journal = winpath::resolve(winpath::join(sourceFolder, kJournal));
  bool undone = false;
  std::error_code ec;
  if (fs::is_regular_file(journal, ec)) {
    // Each line: the school's file, the new file, the previous file ("-"
    // when there was none). A new file already renamed is undone by putting
    // the previous one back; the run never told the user it had finished.
    std::string text;
    {
      os::File in;
      std::uint64_t size = 0;
      if (os::File::open(journal, os::Access::Read, os::Create::Existing, os::Share::Unlocked, in).ok() &&
          in.size(size).ok()) {
        text.resize(static_cast<std::size_t>(std::min<std::uint64_t>(size, 64 * 1024)));
        std::size_t done = 0;
        if (!in.readAt(0, text.data(), text.size(), done).ok()) done = 0;
        text.resize(done);
      }
    }
    std::string failed;
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      const std::string line = text.substr(start, end - start);
      start = end + 1;
      const std::size_t a = line.find('\t'), b = line.find('\t', a == std::string::npos ? a : a + 1);
      if (a == std::string::npos || b == std::string::npos) continue;
      const fs::path target = folder / line.substr(0, a);
      const fs::path temp = folder / line.substr(a + 1, b - a - 1);
      const std::string previousName = line.substr(b + 1);
      if (fs::exists(temp, ec)) continue;  // never renamed: the school's file is the old one
      const os::Status s =
          previousName == "-" ? os::removeFile(target) : os::replaceFile(folder / previousName, target);
      if (!s.ok()) failed += (failed.empty() ? "" : ", ") + winpath::fromHost(target);
      undone = true;
    }
    if (!failed.empty()) {
      throw Error(
          "Una importación anterior se interrumpió al reemplazar los horarios y no se ha podido "
          "restaurar " +
          failed + ". No se ha modificado ningún otro archivo");
    }
    (void)os::removeFile(journal);
  }
  // Whatever an interrupted run left: its new and previous copies.
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.find(".pasarela-") != std::string::npos && it->is_regular_file(ec))
      (void)os::removeFile(it->path());
  }
  return undone;
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
    // Names of this run only: no other run's file is ever taken for ours.
    const std::string run = std::to_string(os::processId());
    item.tempWin = winpath::join(sourceFolder, stem + ".pasarela-nuevo-" + run);
    item.temp = item.target.parent_path() / os::hostPath(stem + ".pasarela-nuevo-" + run);
    item.previous = item.target.parent_path() / os::hostPath(stem + ".pasarela-anterior-" + run);
    std::error_code ec;
    item.existed = fs::is_regular_file(item.target, ec);
    if (!winpath::fileExists(item.stagedWin)) {
      throw Error("No se encuentra el archivo " + item.stagedWin + ". " + kUnchanged);
    }
    items.push_back(std::move(item));
  }
  // Each table's index follows it in the replacement.
  const std::string run = std::to_string(os::processId());
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].index) continue;
    if (std::optional<Item> index = rebuiltIndex(items[i], sourceFolder, run))
      items.insert(items.begin() + ++i, *index);
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
    for (const Item& item : items) {
      if (item.index) {
        writeIndexDurably(item);
      } else {
        copyDurably(item.staged, item.stagedWin, item.temp, item.tempWin,
                    item.existed ? item.target : fs::path());
      }
    }
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

  // Before the first rename, the journal says what is being done, so that a
  // run killed between the two renames is undone at the next start.
  const fs::path journal = winpath::resolve(winpath::join(sourceFolder, kJournal));
  std::string entries;
  for (const Item& item : items) {
    entries += item.target.filename().string() + "\t" + item.temp.filename().string() + "\t" +
               (item.existed ? item.previous.filename().string() : std::string("-")) + "\n";
  }
  if (os::Status s = os::writeReplacing(journal, {entries}); !s.ok())
    fail(SysFailure{s.code, winpath::join(sourceFolder, kJournal)}, kUnchanged);
  struct JournalDone {
    fs::path path;
    bool keep = false;  // a pair not put back: the next run tries again
    ~JournalDone() {
      if (!keep) (void)os::removeFile(path);
    }
  } journalDone{journal};

  size_t replaced = 0;
  try {
    for (const Item& item : items) {
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
    journalDone.keep = !notRestored.empty();
    // The school's files are as they were: the backup just made of them is
    // no backup of anything and must not rotate an older one out.
    if (notRestored.empty() && !backup.empty()) {
      std::error_code ec;
      fs::remove_all(winpath::resolve(backup), ec);
      backup.clear();
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
