#include "shell/help/chm_help_engine.h"

#include <QFileInfo>

namespace pasarela::help {

ChmHelpEngine::~ChmHelpEngine() { closeAll(); }

QString ChmHelpEngine::key(const QString& file) { return QFileInfo(file).absoluteFilePath(); }

ChmViewerWindow* ChmHelpEngine::window(const QString& file) const {
  const auto it = windows_.find(key(file));
  return it == windows_.end() ? nullptr : it->second.data();
}

std::vector<ChmViewerWindow*> ChmHelpEngine::windows() const {
  std::vector<ChmViewerWindow*> open;
  for (const auto& [name, window] : windows_)
    if (window) open.push_back(window.data());
  return open;
}

void ChmHelpEngine::closeAll() {
  auto closing = std::move(windows_);
  windows_.clear();
  for (auto& [name, window] : closing) delete window.data();
}

ChmViewerWindow* ChmHelpEngine::openWindow(const QString& file) {
  QPointer<ChmViewerWindow>& slot = windows_[key(file)];
  // A window that could not open its file tries again.
  if (slot && !slot->hasFile()) delete slot.data();
  if (!slot) slot = new ChmViewerWindow(ChmFile::open(file), file);
  return slot.data();
}

void ChmHelpEngine::htmlHelp(WindowHandle, const QString& file, unsigned command, const HtmlHelpData& data) {
  if (command == kCloseAllWindows) {
    closeAll();
    return;
  }
  if (command != kDisplayTopic && command != kDisplayToc && command != kDisplayIndex &&
      command != kHelpContext)
    return;
  QString helpFile = file;
  QString topic;
  if (const qsizetype sep = file.indexOf(QStringLiteral("::")); sep >= 0) {
    helpFile = file.left(sep);
    topic = file.mid(sep + 2);
  }
  ChmViewerWindow* viewer = openWindow(helpFile);
  switch (command) {
    case kDisplayTopic:
      if (topic.isEmpty() || topic == u"/")
        viewer->showContents();
      else
        viewer->showTopic(topic);
      break;
    case kDisplayToc:
      viewer->showContents();
      break;
    case kDisplayIndex: {
      const auto* keyword = std::get_if<QString>(&data);
      viewer->showIndex(keyword ? *keyword : QString());
      break;
    }
    case kHelpContext: {
      const auto* number = std::get_if<quintptr>(&data);
      viewer->showContext(number ? static_cast<quint32>(*number) : 0);
      break;
    }
    default:
      break;
  }
  viewer->show();
  viewer->raise();
  viewer->activateWindow();
}

// The engine where the system has no HTML Help (the build leaves this file
// out on Windows).
std::shared_ptr<HtmlHelpEngine> createPlatformHtmlHelpEngine() { return std::make_shared<ChmHelpEngine>(); }

}  // namespace pasarela::help
