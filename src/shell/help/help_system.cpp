#include "shell/help/help_system.h"

#include <QCoreApplication>
#include <algorithm>

#include "shell/help/html_help_viewer.h"

namespace pasarela::help {

namespace {

HelpSystem* g_instance = nullptr;

// When the application goes: the viewer leaves, and with it its windows.
void endOfProgram() {
  if (!g_instance) return;
  if (THtmlHelpViewer* viewer = htmlHelpViewer(); viewer && viewer->manager()) {
    viewer->manager()->release(viewer->viewerId());
    viewer->setManager(nullptr);
  }
  g_instance->shutDown();
}

}  // namespace

class HelpSystem::Request {
 public:
  explicit Request(HelpSystem& system) : system_(system) {
    system_.requestHelpFile_ = system_.applicationHelpFile_;
  }
  ~Request() { system_.requestHelpFile_.clear(); }
  Request(const Request&) = delete;
  Request& operator=(const Request&) = delete;

 private:
  HelpSystem& system_;
};

HelpSystem::~HelpSystem() { shutDown(); }

HelpSystem& HelpSystem::instance() {
  if (!g_instance) {
    // Kept for the life of the process; its viewers leave with the application.
    g_instance = new HelpSystem;
    installHtmlHelpViewer(*g_instance, createPlatformHtmlHelpEngine());
    if (QCoreApplication::instance()) qAddPostRoutine(endOfProgram);
  }
  return *g_instance;
}

IHelpManager* HelpSystem::registerViewer(std::shared_ptr<ICustomHelpViewer> viewer) {
  const int id = ++lastViewerId_;
  viewers_.push_back({id, viewer});
  viewer->notifyId(id);
  return this;
}

void HelpSystem::release(int viewerId) {
  std::erase_if(viewers_, [viewerId](const Registered& r) { return r.id == viewerId; });
}

void HelpSystem::shutDown() {
  // Taken out first: a viewer's shut-down may release it.
  std::vector<Registered> leaving;
  leaving.swap(viewers_);
  for (auto& r : leaving) r.viewer->shutDown();
  selector_.reset();
  winHelpTester_.reset();
}

WindowHandle HelpSystem::handle() const {
  if (!owner_) return 0;
  return static_cast<WindowHandle>(owner_->window()->winId());
}

bool HelpSystem::helpCommand(unsigned command, quintptr data) {
  switch (command) {
    case kWinHelpContents:
      return showContents();
    case kWinHelpContext:
      return contextHelp(static_cast<int>(data));
    default:
      return false;
  }
}

bool HelpSystem::showContents() {
  Request request(*this);
  std::vector<ICustomHelpViewer*> able;
  for (auto& r : viewers_)
    if (r.viewer->canShowTableOfContents()) able.push_back(r.viewer.get());
  if (able.empty()) return false;
  if (able.size() == 1) {
    able.front()->showTableOfContents();
    return true;
  }
  std::ranges::sort(able, {}, [](ICustomHelpViewer* v) { return v->viewerName(); });
  QStringList names;
  for (auto* v : able) names << v->viewerName();
  const int chosen = selector_ ? selector_->tableOfContents(names) : 0;
  if (chosen < 0 || chosen >= static_cast<int>(able.size())) return false;
  able[chosen]->showTableOfContents();
  return true;
}

bool HelpSystem::contextHelp(int contextId) {
  Request request(*this);
  for (auto& r : viewers_) {
    auto* extended = dynamic_cast<IExtendedHelpViewer*>(r.viewer.get());
    if (extended && extended->understandsContext(contextId, helpFile())) {
      extended->displayHelpByContext(contextId, helpFile());
      return true;
    }
  }
  return false;
}

bool HelpSystem::keywordHelp(const QString& keyword) {
  Request request(*this);
  QStringList strings;
  std::vector<ICustomHelpViewer*> owners;
  for (auto& r : viewers_) {
    if (r.viewer->understandsKeyword(keyword) <= 0) continue;
    for (const QString& s : r.viewer->helpStrings(keyword)) {
      strings << s;
      owners.push_back(r.viewer.get());
    }
  }
  if (strings.isEmpty()) return false;
  const int chosen = strings.size() == 1 || !selector_ ? 0 : selector_->selectKeyword(strings);
  if (chosen < 0 || chosen >= strings.size()) return false;
  owners[chosen]->showHelp(strings.at(chosen));
  return true;
}

bool HelpSystem::topicHelp(const QString& topic) {
  Request request(*this);
  for (auto& r : viewers_) {
    auto* extended = dynamic_cast<IExtendedHelpViewer*>(r.viewer.get());
    if (extended && extended->understandsTopic(topic)) {
      extended->displayTopic(topic);
      return true;
    }
  }
  return false;
}

}  // namespace pasarela::help
