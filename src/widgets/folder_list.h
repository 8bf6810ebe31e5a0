// The folder list and the drive list over the drive map.
//
// FolderList shows the current folder's path, one entry per level from the
// drive root down, and below it the current folder's subfolders. Its current
// folder is a full Windows path ("C:\OB", "C:\" for a root). A double-click
// or Enter on an entry makes it the current folder (on the current folder's
// own entry it raises the change again); a single click only selects. Every change of the current folder, by
// the user, by the drive list or by setDirectory(), raises directoryChanged().
//
// DriveList shows the mapped drives; choosing one moves its folder list to
// that drive's last folder (its root the first time).
#pragma once

#include <QComboBox>
#include <QListWidget>
#include <map>
#include <string>

namespace pasarela::widgets {

class FolderList : public QListWidget {
  Q_OBJECT
 public:
  explicit FolderList(QWidget* parent = nullptr);

  // The current folder, a full Windows path.
  const std::string& directory() const { return directory_; }
  // Shows the folder without raising the change (the initial folder).
  void setInitialDirectory(const std::string& windowsPath);
  // Makes the folder current and raises directoryChanged() when it differs
  // from the current one. A missing folder throws pasarela::IoError (3) and
  // leaves the list as it was.
  void setDirectory(const std::string& windowsPath);
  // Moves to the drive's last folder (its root the first time).
  void setDrive(char letter);
  char drive() const;

  // Windows path of the entry in row `row`.
  std::string entryPath(int row) const;
  // Opens the entry (what a double-click or Enter does).
  void openEntry(int row);

 signals:
  void directoryChanged();
  void driveChanged(char letter);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::string canonical(const std::string& windowsPath) const;
  void fill();

  std::string directory_;
  std::map<char, std::string> lastByDrive_;
};

class DriveList : public QComboBox {
  Q_OBJECT
 public:
  explicit DriveList(QWidget* parent = nullptr);
  void setFolderList(FolderList* list);
  char drive() const;

 private:
  FolderList* list_ = nullptr;
  bool following_ = false;
};

}  // namespace pasarela::widgets
