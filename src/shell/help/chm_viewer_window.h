// The help window shown where there is no Windows HTML Help: the table of
// contents and the index of a compiled help file beside its topics.
#pragma once

#include <QTextBrowser>
#include <QWidget>
#include <memory>
#include <vector>

#include "shell/help/chm_file.h"
#include "shell/help/sitemap.h"

class QLineEdit;
class QListWidget;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace pasarela::help {

// Shows topics of the help file; pages, images and style sheets are read
// from inside the file, never from disk or the network.
class ChmTextBrowser final : public QTextBrowser {
  Q_OBJECT
 public:
  explicit ChmTextBrowser(const ChmFile* file, QWidget* parent = nullptr);
  QVariant loadResource(int type, const QUrl& name) override;

  // URL of an object of the file ("/topic.htm#part").
  static QUrl topicUrl(const QString& objectPath);

 private:
  const ChmFile* file_;
};

class ChmViewerWindow final : public QWidget {
  Q_OBJECT
 public:
  // A window on an open file; with no file, the window says it cannot be
  // opened.
  ChmViewerWindow(std::unique_ptr<ChmFile> file, const QString& fileName, QWidget* parent = nullptr);
  ~ChmViewerWindow() override;

  bool hasFile() const { return file_ != nullptr; }

  // The table of contents, with the default topic when none is shown yet.
  void showContents();
  // The index at the first entry that starts with the keyword (else
  // contains it), and its topic. False when no entry matches.
  bool showIndex(const QString& keyword);
  // A topic by its path in the file ("intro.htm", "/a/b.htm#part").
  bool showTopic(const QString& topic);
  // The topic mapped to a help-context number.
  bool showContext(quint32 contextId);

  // Object path of the topic shown ("/intro.htm"); empty when a message is shown.
  QString currentTopic() const { return currentTopic_; }

  QTabWidget* tabs() const { return tabs_; }
  QTreeWidget* contentsTree() const { return contents_; }
  QListWidget* indexList() const { return index_; }
  QLineEdit* indexSearch() const { return search_; }
  ChmTextBrowser* browser() const { return browser_; }
  QToolButton* backButton() const { return back_; }
  QToolButton* forwardButton() const { return forward_; }

 private:
  void fillContents();
  void fillIndex();
  void showMessage(const QString& text);
  // Selects the contents entry of the topic shown, if it has one.
  void markInContents();
  void followLink(const QUrl& url);
  void followHistory();
  bool selectIndexEntry(const QString& keyword, bool showItsTopic);

  std::unique_ptr<ChmFile> file_;
  QString fileName_;
  std::vector<SitemapEntry> indexEntries_;
  QString currentTopic_;
  QTabWidget* tabs_ = nullptr;
  QTreeWidget* contents_ = nullptr;
  QListWidget* index_ = nullptr;
  QLineEdit* search_ = nullptr;
  ChmTextBrowser* browser_ = nullptr;
  QToolButton* back_ = nullptr;
  QToolButton* forward_ = nullptr;
};

}  // namespace pasarela::help
