// The interfaces of the application's help system.
//
// The help system (help_system.h) passes the window's help requests on to
// the viewers registered with it. A viewer offers ICustomHelpViewer, and
// IExtendedHelpViewer when it can show topics and help contexts; one object
// may also serve as the system's IHelpSelector, which chooses between
// viewers. IWinHelpTester answers the questions about WinHelp help.
// Viewers and testers are shared (reference-counted) objects.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace pasarela::help {

// Native handle of a window (an HWND on Windows); 0 for none.
using WindowHandle = quintptr;

// What a registered viewer may ask of the help system.
class IHelpManager {
 public:
  virtual ~IHelpManager() = default;
  // Handle of the window that owns the help windows.
  virtual WindowHandle handle() const = 0;
  // The help file of the request being served; empty outside a request.
  virtual QString helpFile() const = 0;
  // The application's current help file (what setHelpFile gave).
  virtual QString applicationHelpFile() const = 0;
  // The viewer with this ID leaves the help system.
  virtual void release(int viewerId) = 0;
};

class ICustomHelpViewer {
 public:
  virtual ~ICustomHelpViewer() = default;
  virtual QString viewerName() const = 0;
  // How many of the viewer's help strings fit the keyword (0: none).
  virtual int understandsKeyword(const QString& keyword) = 0;
  // A new list owned by the caller.
  virtual QStringList helpStrings(const QString& keyword) = 0;
  virtual bool canShowTableOfContents() = 0;
  virtual void showTableOfContents() = 0;
  virtual void showHelp(const QString& helpString) = 0;
  virtual void notifyId(int viewerId) = 0;
  // Closes what the viewer shows; the viewer stays registered.
  virtual void softShutDown() = 0;
  // The viewer is leaving: closes what it shows and forgets the manager.
  virtual void shutDown() = 0;
};

class IExtendedHelpViewer : public ICustomHelpViewer {
 public:
  virtual bool understandsTopic(const QString& topic) = 0;
  virtual void displayTopic(const QString& topic) = 0;
  virtual bool understandsContext(int contextId, const QString& helpFileName) = 0;
  virtual void displayHelpByContext(int contextId, const QString& helpFileName) = 0;
};

class IHelpSelector {
 public:
  virtual ~IHelpSelector() = default;
  // Position of the chosen help string, from the strings of all viewers.
  virtual int selectKeyword(const QStringList& helpStrings) = 0;
  // Position of the chosen viewer among the (sorted) viewer names, -1 for none.
  virtual int tableOfContents(const QStringList& viewerNames) = 0;
};

class IWinHelpTester {
 public:
  virtual ~IWinHelpTester() = default;
  virtual bool canShowALink(const QString& aLink, const QString& fileName) = 0;
  virtual bool canShowTopic(const QString& topic, const QString& fileName) = 0;
  virtual bool canShowContext(int context, const QString& fileName) = 0;
  virtual QStringList helpStrings(const QString& aLink) = 0;
  virtual QString helpPath() = 0;
  virtual QString defaultHelpFile() = 0;
};

}  // namespace pasarela::help
