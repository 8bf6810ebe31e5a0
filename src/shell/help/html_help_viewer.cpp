#include "shell/help/html_help_viewer.h"

#include <QCoreApplication>
#include <QDir>

#include "shell/help/help_system.h"
#include "shell/help/win_help_tester.h"

namespace pasarela::help {

namespace {

THtmlHelpViewer* g_viewer = nullptr;  // the process's viewer, not owned

const QString kViewerName = QStringLiteral("ZelHtmlHelp");

bool hasFolderPart(const QString& name) {
  return name.contains(u'/') || name.contains(u'\\') || (name.size() >= 2 && name.at(1) == u':');
}

}  // namespace

bool isChmFile(const QString& fileName) {
  const qsizetype dot = fileName.lastIndexOf(u'.');
  if (dot < 0) return false;
  return fileName.mid(dot).compare(QStringLiteral(".chm"), Qt::CaseInsensitive) == 0;
}

QString besideExecutable(const QString& fileName) {
  if (fileName.isEmpty() || hasFolderPart(fileName)) return fileName;
  return QDir::toNativeSeparators(QDir(QCoreApplication::applicationDirPath()).filePath(fileName));
}

THtmlHelpViewer::THtmlHelpViewer(std::shared_ptr<HtmlHelpEngine> engine) : engine_(std::move(engine)) {}

THtmlHelpViewer::~THtmlHelpViewer() {
  if (g_viewer == this) g_viewer = nullptr;
}

QString THtmlHelpViewer::currentHelpFile() const {
  QString file;
  if (manager_) {
    file = manager_->helpFile();
    if (file.isEmpty()) file = manager_->applicationHelpFile();
  }
  return besideExecutable(file);
}

void THtmlHelpViewer::htmlHelp(const QString& file, unsigned command, const HtmlHelpData& data) {
  if (!engine_ || !engine_->available()) return;
  if (command == kCloseAllWindows) {
    engine_->htmlHelp(0, QString(), command, data);
    return;
  }
  engine_->htmlHelp(manager_ ? manager_->handle() : 0, file, command, data);
}

QString THtmlHelpViewer::viewerName() const { return kViewerName; }

int THtmlHelpViewer::understandsKeyword(const QString&) { return isChmFile(currentHelpFile()) ? 1 : 0; }

QStringList THtmlHelpViewer::helpStrings(const QString& keyword) {
  return {QStringLiteral("%1: %2").arg(viewerName(), keyword)};
}

bool THtmlHelpViewer::canShowTableOfContents() { return true; }

void THtmlHelpViewer::showTableOfContents() {
  const QString file = currentHelpFile();
  if (isChmFile(file)) htmlHelp(file, kDisplayToc, quintptr{0});
}

void THtmlHelpViewer::showHelp(const QString& helpString) {
  const QString file = currentHelpFile();
  if (!isChmFile(file)) return;
  const qsizetype colon = helpString.indexOf(u':');
  htmlHelp(file, kDisplayIndex, helpString.mid(colon + 1).trimmed());
}

void THtmlHelpViewer::notifyId(int viewerId) { viewerId_ = viewerId; }

void THtmlHelpViewer::softShutDown() { htmlHelp(QString(), kCloseAllWindows, quintptr{0}); }

void THtmlHelpViewer::shutDown() {
  softShutDown();
  manager_ = nullptr;
}

bool THtmlHelpViewer::understandsTopic(const QString&) { return isChmFile(currentHelpFile()); }

void THtmlHelpViewer::displayTopic(const QString& topic) {
  const QString file = currentHelpFile();
  if (!isChmFile(file)) return;
  QString target = topic;
  const qsizetype dot = topic.lastIndexOf(u'.');
  const QString extension = dot < 0 ? QString() : topic.mid(dot).toLower();
  if (extension != QStringLiteral(".htm") && extension != QStringLiteral(".html"))
    target += defaultExtension();
  htmlHelp(file + QStringLiteral("::/") + target, kDisplayTopic, quintptr{0});
}

bool THtmlHelpViewer::understandsContext(int, const QString& helpFileName) { return isChmFile(helpFileName); }

void THtmlHelpViewer::displayHelpByContext(int contextId, const QString&) {
  const QString file = currentHelpFile();
  if (isChmFile(file)) htmlHelp(file, kHelpContext, static_cast<quintptr>(contextId));
}

int THtmlHelpViewer::selectKeyword(const QStringList& helpStrings) {
  for (int i = 0; i < helpStrings.size(); ++i) {
    const QString& entry = helpStrings.at(i);
    const qsizetype colon = entry.indexOf(u':');
    if ((colon < 0 ? entry : entry.left(colon)) == viewerName()) return i;
  }
  return 0;
}

int THtmlHelpViewer::tableOfContents(const QStringList& viewerNames) {
  return static_cast<int>(viewerNames.indexOf(viewerName()));
}

std::shared_ptr<THtmlHelpViewer> installHtmlHelpViewer(HelpSystem& system,
                                                       std::shared_ptr<HtmlHelpEngine> engine) {
  auto viewer = std::make_shared<THtmlHelpViewer>(std::move(engine));
  g_viewer = viewer.get();
  viewer->setManager(system.registerViewer(viewer));
  system.setHelpSelector(viewer);
  system.setWinHelpTester(std::make_shared<TWinHelpTester>());
  return viewer;
}

THtmlHelpViewer* htmlHelpViewer() { return g_viewer; }

}  // namespace pasarela::help
