// The help system with the HTML help viewer installed on a fake engine:
// the window's two requests, several viewers and the selector, and the
// viewer leaving.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QWidget>

#include "fake_html_help_engine.h"
#include "shell/help/help_system.h"
#include "shell/help/html_help_viewer.h"

namespace pasarela::help {
namespace {

using testing::FakeHtmlHelpEngine;

// Another viewer, to make the help system choose.
struct OtherViewer final : ICustomHelpViewer {
  QString name = QStringLiteral("Alfa");
  int tocShown = 0;
  QStringList helpShown;
  QString viewerName() const override { return name; }
  int understandsKeyword(const QString&) override { return 1; }
  QStringList helpStrings(const QString& keyword) override { return {name + QStringLiteral(": ") + keyword}; }
  bool canShowTableOfContents() override { return true; }
  void showTableOfContents() override { ++tocShown; }
  void showHelp(const QString& helpString) override { helpShown << helpString; }
  void notifyId(int) override {}
  void softShutDown() override {}
  void shutDown() override {}
};

class HelpSystemTest : public ::testing::Test {
 protected:
  HelpSystemTest() : engine(std::make_shared<FakeHtmlHelpEngine>()) {
    viewer = installHtmlHelpViewer(system, engine);
    system.setHelpFile(QStringLiteral("ORBENTA.chm"));
  }
  QString orbenta() const {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QStringLiteral("/ORBENTA.chm"));
  }

  HelpSystem system;
  std::shared_ptr<FakeHtmlHelpEngine> engine;
  std::shared_ptr<THtmlHelpViewer> viewer;
};

TEST_F(HelpSystemTest, InstallingRegistersTheViewerAsSelectorWithAWinHelpTester) {
  EXPECT_EQ(system.viewerCount(), 1u);
  EXPECT_EQ(viewer->manager(), &system);
  EXPECT_NE(viewer->viewerId(), 0);
  EXPECT_EQ(system.helpSelector(), static_cast<IHelpSelector*>(viewer.get()));
  ASSERT_NE(system.winHelpTester(), nullptr);
  EXPECT_FALSE(system.winHelpTester()->canShowContext(1, QStringLiteral("ORBENTA.chm")));
  EXPECT_EQ(htmlHelpViewer(), viewer.get());
}

TEST_F(HelpSystemTest, HelpContentsShowsTheTableOfContentsOfTheFileBesideTheProgram) {
  QWidget window;
  system.setOwnerWindow(&window);
  EXPECT_TRUE(system.helpCommand(kWinHelpContents, 0));
  ASSERT_EQ(engine->calls.size(), 1u);
  EXPECT_EQ(engine->calls[0].command, kDisplayToc);
  EXPECT_EQ(engine->calls[0].file, orbenta());
  EXPECT_EQ(engine->calls[0].owner, static_cast<WindowHandle>(window.winId()));
  // Outside a request the manager has no help file of its own.
  EXPECT_TRUE(system.helpFile().isEmpty());
}

TEST_F(HelpSystemTest, HelpContextOneShowsTheMappedTopic) {
  EXPECT_TRUE(system.helpCommand(kWinHelpContext, 1));
  EXPECT_TRUE(system.contextHelp(1));
  ASSERT_EQ(engine->calls.size(), 2u);
  for (const auto& call : engine->calls) {
    EXPECT_EQ(call.command, kHelpContext);
    EXPECT_EQ(call.file, orbenta());
    EXPECT_EQ(testing::number(call.data), 1u);
    EXPECT_EQ(call.owner, 0u);  // no owner window set
  }
}

TEST_F(HelpSystemTest, AHelpFileThatIsNotChmFindsNoViewerForAContext) {
  system.setHelpFile(QStringLiteral("ORBENTA.hlp"));
  EXPECT_FALSE(system.contextHelp(1));
  EXPECT_FALSE(system.keywordHelp(QStringLiteral("Exportar")));
  EXPECT_TRUE(engine->calls.empty());
}

TEST_F(HelpSystemTest, KeywordAndTopicRequests) {
  EXPECT_TRUE(system.keywordHelp(QStringLiteral("Exportar")));
  EXPECT_TRUE(system.topicHelp(QStringLiteral("importar")));
  ASSERT_EQ(engine->calls.size(), 2u);
  EXPECT_EQ(engine->calls[0].command, kDisplayIndex);
  EXPECT_EQ(testing::keyword(engine->calls[0].data), QStringLiteral("Exportar"));
  EXPECT_EQ(engine->calls[1].command, kDisplayTopic);
  EXPECT_EQ(engine->calls[1].file, orbenta() + QStringLiteral("::/importar.htm"));
}

TEST_F(HelpSystemTest, WithSeveralViewersTheSelectorPicksThisOne) {
  auto other = std::make_shared<OtherViewer>();
  system.registerViewer(other);
  EXPECT_TRUE(system.showContents());
  EXPECT_EQ(other->tocShown, 0);
  ASSERT_EQ(engine->calls.size(), 1u);
  EXPECT_EQ(engine->calls[0].command, kDisplayToc);

  // The other viewer's string comes first; the selector still picks ours.
  EXPECT_TRUE(system.keywordHelp(QStringLiteral("Exportar")));
  EXPECT_TRUE(other->helpShown.isEmpty());
  ASSERT_EQ(engine->calls.size(), 2u);
  EXPECT_EQ(testing::keyword(engine->calls[1].data), QStringLiteral("Exportar"));
}

TEST_F(HelpSystemTest, WithoutOurViewerTheSelectorDeclinesTheTableOfContents) {
  auto other = std::make_shared<OtherViewer>();
  auto third = std::make_shared<OtherViewer>();
  third->name = QStringLiteral("Beta");
  system.release(viewer->viewerId());
  system.registerViewer(other);
  system.registerViewer(third);
  EXPECT_FALSE(system.showContents());
  EXPECT_EQ(other->tocShown + third->tocShown, 0);
}

TEST_F(HelpSystemTest, TheViewerLeavesByItsId) {
  system.registerViewer(std::make_shared<OtherViewer>());
  system.release(viewer->viewerId());
  EXPECT_EQ(system.viewerCount(), 1u);
  EXPECT_TRUE(system.showContents());
  EXPECT_TRUE(engine->calls.empty());
}

TEST_F(HelpSystemTest, ShutDownClosesTheHelpWindows) {
  system.shutDown();
  EXPECT_EQ(system.viewerCount(), 0u);
  ASSERT_EQ(engine->calls.size(), 1u);
  EXPECT_EQ(engine->calls[0].command, kCloseAllWindows);
  EXPECT_EQ(viewer->manager(), nullptr);
}

}  // namespace
}  // namespace pasarela::help
