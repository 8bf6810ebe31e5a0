#include "widgets/folder_list.h"

#include <QKeyEvent>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/error.h"
#include "base/os/io_code.h"
#include "data/winpath.h"
#include "widgets/guarded.h"

namespace fs = std::filesystem;

namespace pasarela::widgets {

namespace {

std::string upperDrive(char letter) {
  return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))) + ":";
}

bool sameFolder(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool lessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { guarded([&] { openEntry(row(item)); }); });
}

// The full Windows path of an existing folder, spelled as on disk below the
// drive letter.
std::string FolderList::canonical(const std::string& windowsPath) const {
  std::string text = windowsPath;
  std::replace(text.begin(), text.end(), '/', '\\');
  const fs::path host = winpath::resolve(text);
  std::error_code ec;
  if (!fs::is_directory(host, ec)) throw os::makeIoError(os::kErrorPathNotFound);
  char letter = 0;
  if (text.size() >= 2 && text[1] == ':' && std::isalpha(static_cast<unsigned char>(text[0])))
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  if (letter) {
    if (const auto root = winpath::driveRoot(letter)) {
      const fs::path rel = host.lexically_normal().lexically_relative(root->lexically_normal());
      if (!rel.empty() && *rel.begin() != "..") {
        std::string out = upperDrive(letter) + "\\";
        bool firstPart = true;
        for (const fs::path& part : rel) {
          if (part == "." || part.empty()) continue;
          if (!firstPart) out += "\\";
          out += part.string();
          firstPart = false;
        }
        return out;
      }
    }
  }
  std::string out = winpath::fromHost(host);
  if (out.size() > 3 && out.back() == '\\') out.pop_back();
  return out;
}

void FolderList::setInitialDirectory(const std::string& windowsPath) {
  directory_ = canonical(windowsPath);
  lastByDrive_[drive()] = directory_;
  fill();
}

void FolderList::setDirectory(const std::string& windowsPath) {
  const std::string target = canonical(windowsPath);
  if (sameFolder(target, directory_)) return;
  const char oldDrive = drive();
  directory_ = target;
  lastByDrive_[drive()] = directory_;
  fill();
  if (drive() != oldDrive) emit driveChanged(drive());
  emit directoryChanged();
}

char FolderList::drive() const {
  return directory_.empty() ? 0 : static_cast<char>(std::toupper(static_cast<unsigned char>(directory_[0])));
}

void FolderList::setDrive(char letter) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  const auto it = lastByDrive_.find(letter);
  const std::string root = upperDrive(letter) + "\\";
  if (it == lastByDrive_.end()) {
    setDirectory(root);
    return;
  }
  try {
    setDirectory(it->second);
  } catch (const Error&) {
    setDirectory(root);  // the drive's last folder is gone
  }
}

void FolderList::fill() {
  clear();
  if (directory_.empty()) return;
  // The path's levels: "C:\", "C:\A", "C:\A\B".
  std::vector<std::pair<std::string, std::string>> levels;  // shown name, path
  const std::string root = directory_.substr(0, 3);
  levels.emplace_back(root, root);
  std::string path = directory_.size() > 3 ? root.substr(0, 2) : root;
  size_t start = 3;
  while (start < directory_.size()) {
    size_t end = directory_.find('\\', start);
    if (end == std::string::npos) end = directory_.size();
    const std::string name = directory_.substr(start, end - start);
    path += "\\" + name;
    levels.emplace_back(name, path);
    start = end + 1;
  }
  int level = 0;
  for (const auto& [name, levelPath] : levels) {
    auto* item =
        new QListWidgetItem(QString(level * 2, QLatin1Char(' ')) + QString::fromStdString(name), this);
    item->setData(Qt::UserRole, QString::fromStdString(levelPath));
    ++level;
  }
  setCurrentRow(count() - 1);

  std::vector<std::string> subfolders;
  std::error_code ec;
  const fs::path host = winpath::resolve(directory_);
  for (fs::directory_iterator it(host, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code kindError;
    if (it->is_directory(kindError)) subfolders.push_back(it->path().filename().string());
  }
  std::sort(subfolders.begin(), subfolders.end(), lessNoCase);
  for (const std::string& name : subfolders) {
    auto* item =
        new QListWidgetItem(QString(level * 2, QLatin1Char(' ')) + QString::fromStdString(name), this);
    item->setData(Qt::UserRole, QString::fromStdString(winpath::join(
                                    directory_.size() == 3 ? directory_.substr(0, 2) : directory_, name)));
  }
}

std::string FolderList::entryPath(int row) const {
  const QListWidgetItem* it = item(row);
  return it ? it->data(Qt::UserRole).toString().toStdString() : std::string();
}

void FolderList::openEntry(int row) {
  const std::string path = entryPath(row);
  if (path.empty()) return;
  // Opening the current folder again raises the change once more, so that a
  // failed staging can be retried without leaving the folder.
  if (sameFolder(canonical(path), directory_)) {
    emit directoryChanged();
    return;
  }
  setDirectory(path);
}

void FolderList::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    guarded([&] { openEntry(currentRow()); });
    event->accept();
    return;
  }
  QListWidget::keyPressEvent(event);
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
  for (char letter : winpath::drives())
    addItem(QString::fromStdString(
                std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(letter)))) + ":"),
            QChar::fromLatin1(static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))));
}

char DriveList::drive() const {
  const QVariant v = currentData();
  return v.isValid() ? v.toChar().toLatin1() : 0;
}

void DriveList::setFolderList(FolderList* list) {
  list_ = list;
  auto follow = [this](char letter) {
    following_ = true;
    const int i = findData(QChar::fromLatin1(letter));
    if (i >= 0) setCurrentIndex(i);
    following_ = false;
  };
  follow(list->drive());
  connect(list, &FolderList::driveChanged, this, follow);
  connect(this, &QComboBox::currentIndexChanged, this, [this, follow](int) {
    if (following_ || !list_) return;
    const char letter = drive();
    if (!guarded([&] { list_->setDrive(letter); })) follow(list_->drive());
  });
}

}  // namespace pasarela::widgets
