#include "shell/help/chm_viewer_window.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <filesystem>

#include "data/winpath.h"

namespace pasarela::help {

namespace {

constexpr int kTopicRole = Qt::UserRole;

const QString kScheme = QStringLiteral("chm");

QString htmlEscaped(const QString& text) { return text.toHtmlEscaped(); }

}  // namespace

ChmTextBrowser::ChmTextBrowser(const ChmFile* file, QWidget* parent) : QTextBrowser(parent), file_(file) {
  // Links are followed by the window, which keeps them inside the file.
  setOpenLinks(false);
  setOpenExternalLinks(false);
}

QUrl ChmTextBrowser::topicUrl(const QString& objectPath) {
  QUrl url;
  url.setScheme(kScheme);
  const qsizetype hash = objectPath.indexOf(u'#');
  url.setPath(hash < 0 ? objectPath : objectPath.left(hash));
  if (hash >= 0) url.setFragment(objectPath.mid(hash + 1));
  return url;
}

QVariant ChmTextBrowser::loadResource(int type, const QUrl& name) {
  if (!file_) return {};
  const QUrl url = name.isRelative() ? source().resolved(name) : name;
  if (url.scheme() != kScheme) return {};
  const auto bytes = file_->read(ChmFile::objectPath(url.path()));
  if (!bytes) return {};
  switch (type) {
    case QTextDocument::HtmlResource:
    case QTextDocument::StyleSheetResource:
      return decodeHelpText(*bytes);
    case QTextDocument::ImageResource: {
      QImage image;
      if (!image.loadFromData(*bytes)) return {};
      return image;
    }
    default:
      return *bytes;
  }
}

ChmViewerWindow::ChmViewerWindow(std::unique_ptr<ChmFile> file, const QString& fileName, QWidget* parent)
    : QWidget(parent, Qt::Window), file_(std::move(file)), fileName_(fileName) {
  setAttribute(Qt::WA_DeleteOnClose);
  // An open help window does not keep the program running once its main
  // window has closed.
  setAttribute(Qt::WA_QuitOnClose, false);
  const QString title = file_ && !file_->title().isEmpty() ? file_->title() : QFileInfo(fileName).fileName();
  setWindowTitle(title.isEmpty() ? QStringLiteral("Ayuda") : title);
  resize(820, 560);

  tabs_ = new QTabWidget;
  contents_ = new QTreeWidget;
  contents_->setHeaderHidden(true);
  tabs_->addTab(contents_, QStringLiteral("Contenido"));

  auto* indexPage = new QWidget;
  auto* indexLayout = new QVBoxLayout(indexPage);
  indexLayout->setContentsMargins(4, 4, 4, 4);
  search_ = new QLineEdit;
  search_->setPlaceholderText(QStringLiteral("Escriba la palabra que busca"));
  index_ = new QListWidget;
  indexLayout->addWidget(search_);
  indexLayout->addWidget(index_);
  tabs_->addTab(indexPage, QStringLiteral("Índice"));

  browser_ = new ChmTextBrowser(file_.get());
  auto* splitter = new QSplitter;
  splitter->addWidget(tabs_);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({300, 520});

  back_ = new QToolButton;
  back_->setObjectName(QStringLiteral("Atras"));
  back_->setText(QStringLiteral("Atrás"));
  back_->setToolTip(QStringLiteral("Atrás (Alt+Izquierda)"));
  back_->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
  back_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  back_->setEnabled(false);
  forward_ = new QToolButton;
  forward_->setObjectName(QStringLiteral("Adelante"));
  forward_->setText(QStringLiteral("Adelante"));
  forward_->setToolTip(QStringLiteral("Adelante (Alt+Derecha)"));
  forward_->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
  forward_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  forward_->setEnabled(false);
  auto* bar = new QHBoxLayout;
  bar->setContentsMargins(4, 4, 4, 0);
  bar->addWidget(back_);
  bar->addWidget(forward_);
  bar->addStretch(1);
  connect(browser_, &QTextBrowser::backwardAvailable, back_, &QWidget::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QWidget::setEnabled);
  connect(back_, &QToolButton::clicked, this, [this] {
    browser_->backward();
    followHistory();
  });
  connect(forward_, &QToolButton::clicked, this, [this] {
    browser_->forward();
    followHistory();
  });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(bar);
  layout->addWidget(splitter);

  connect(contents_, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { showTopic(item->data(0, kTopicRole).toString()); });
  connect(contents_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { showTopic(item->data(0, kTopicRole).toString()); });
  connect(index_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { showTopic(item->data(kTopicRole).toString()); });
  connect(search_, &QLineEdit::textEdited, this,
          [this](const QString& text) { selectIndexEntry(text, false); });
  connect(search_, &QLineEdit::returnPressed, this, [this] {
    if (auto* item = index_->currentItem()) showTopic(item->data(kTopicRole).toString());
  });
  connect(browser_, &QTextBrowser::anchorClicked, this, &ChmViewerWindow::followLink);

  if (!file_) {
    // The user knows files by their Windows paths.
    const std::string shown =
        winpath::fromHost(std::filesystem::path(QFileInfo(fileName).absoluteFilePath().toStdString()));
    showMessage(
        QStringLiteral("No se puede abrir el archivo de ayuda «%1».").arg(QString::fromStdString(shown)));
    return;
  }
  fillContents();
  fillIndex();
}

// The browser went back or forward in its history: the topic shown is its.
void ChmViewerWindow::followHistory() {
  const QUrl source = browser_->source();
  if (source.isEmpty()) return;
  currentTopic_ = ChmFile::objectPath(source.path());
  markInContents();
}

ChmViewerWindow::~ChmViewerWindow() {
  // The browser reads from the file while it goes: let it go first.
  delete browser_;
  browser_ = nullptr;
}

void ChmViewerWindow::fillContents() {
  if (file_->contentsFile().isEmpty()) return;
  const auto bytes = file_->read(file_->contentsFile());
  if (!bytes) return;
  std::vector<QTreeWidgetItem*> parents;  // the last item of each level
  for (const SitemapEntry& entry : parseSitemap(decodeHelpText(*bytes))) {
    const int level = std::min<int>(entry.level, static_cast<int>(parents.size()));
    parents.resize(level);
    auto* item = level == 0 ? new QTreeWidgetItem(contents_) : new QTreeWidgetItem(parents.back());
    item->setText(0, entry.name);
    item->setData(0, kTopicRole, entry.local);
    parents.push_back(item);
  }
  contents_->expandAll();
}

void ChmViewerWindow::fillIndex() {
  if (file_->indexFile().isEmpty()) return;
  const auto bytes = file_->read(file_->indexFile());
  if (!bytes) return;
  indexEntries_ = parseSitemap(decodeHelpText(*bytes));
  for (const SitemapEntry& entry : indexEntries_) {
    auto* item = new QListWidgetItem(QString(entry.level * 4, u' ') + entry.name, index_);
    item->setToolTip(entry.name);  // a long entry is read whole here
    item->setData(kTopicRole, entry.local);
  }
}

void ChmViewerWindow::showMessage(const QString& text) {
  currentTopic_.clear();
  browser_->setHtml(QStringLiteral("<p>%1</p>").arg(htmlEscaped(text)));
}

void ChmViewerWindow::showContents() {
  tabs_->setCurrentIndex(0);
  if (!file_ || !currentTopic_.isEmpty()) return;
  if (!file_->defaultTopic().isEmpty() && showTopic(file_->defaultTopic())) return;
  if (contents_->topLevelItemCount() > 0)
    showTopic(contents_->topLevelItem(0)->data(0, kTopicRole).toString());
}

bool ChmViewerWindow::selectIndexEntry(const QString& keyword, bool showItsTopic) {
  const QString wanted = keyword.trimmed();
  if (wanted.isEmpty()) return false;
  int found = -1;
  for (int pass = 0; pass < 2 && found < 0; ++pass) {
    for (int i = 0; i < static_cast<int>(indexEntries_.size()); ++i) {
      const QString& name = indexEntries_[i].name;
      if (pass == 0 ? name.startsWith(wanted, Qt::CaseInsensitive)
                    : name.contains(wanted, Qt::CaseInsensitive)) {
        found = i;
        break;
      }
    }
  }
  if (found < 0) return false;
  index_->setCurrentRow(found);
  index_->scrollToItem(index_->currentItem(), QAbstractItemView::PositionAtTop);
  if (showItsTopic) showTopic(indexEntries_[found].local);
  return true;
}

bool ChmViewerWindow::showIndex(const QString& keyword) {
  tabs_->setCurrentIndex(1);
  search_->setText(keyword);
  return file_ && selectIndexEntry(keyword, true);
}

bool ChmViewerWindow::showTopic(const QString& topic) {
  if (!file_) return false;
  const QString path = ChmFile::objectPath(topic);
  const qsizetype hash = path.indexOf(u'#');
  if (path.size() <= 1 || !file_->contains(hash < 0 ? path : path.left(hash))) {
    showMessage(QStringLiteral("El archivo de ayuda no contiene la página «%1».").arg(topic));
    return false;
  }
  currentTopic_ = hash < 0 ? path : path.left(hash);
  browser_->setSource(ChmTextBrowser::topicUrl(path), QTextDocument::HtmlResource);
  markInContents();
  return true;
}

void ChmViewerWindow::markInContents() {
  for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
    QString local = ChmFile::objectPath((*it)->data(0, kTopicRole).toString());
    local = local.left(local.indexOf(u'#'));
    if (local == currentTopic_) {
      contents_->setCurrentItem(*it);
      return;
    }
  }
  contents_->setCurrentItem(nullptr);
}

bool ChmViewerWindow::showContext(quint32 contextId) {
  tabs_->setCurrentIndex(0);
  if (!file_) return false;
  if (const auto topic = file_->topicForContext(contextId)) return showTopic(*topic);
  showMessage(
      QStringLiteral("El archivo de ayuda no tiene ninguna página para el contexto %1.").arg(contextId));
  return false;
}

void ChmViewerWindow::followLink(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  if (scheme == u"http" || scheme == u"https" || scheme == u"mailto") {
    QDesktopServices::openUrl(url);
    return;
  }
  const QString text = url.toString();
  if (text.contains(QStringLiteral("::"))) {  // "ms-its:other.chm::/topic.htm" and the like
    showTopic(text);
    return;
  }
  const QUrl resolved = url.isRelative() ? browser_->source().resolved(url) : url;
  if (resolved.scheme() != kScheme) return;
  QString path = resolved.path();
  if (resolved.hasFragment()) path += u'#' + resolved.fragment();
  showTopic(path);
}

}  // namespace pasarela::help
