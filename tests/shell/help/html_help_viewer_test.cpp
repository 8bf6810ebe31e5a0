// THtmlHelpViewer on its own: the .chm test, the current help file and the
// HTML Help call each operation makes, seen through a fake engine.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "fake_html_help_engine.h"
#include "shell/help/html_help_viewer.h"
#include "shell/help/win_help_tester.h"

namespace pasarela::help {
namespace {

using testing::FakeHtmlHelpEngine;

// A help manager whose answers the test sets.
struct StubManager final : IHelpManager {
  WindowHandle owner = 0x1234;
  QString current;
  QString application;
  std::vector<int> released;
  WindowHandle handle() const override { return owner; }
  QString helpFile() const override { return current; }
  QString applicationHelpFile() const override { return application; }
  void release(int viewerId) override { released.push_back(viewerId); }
};

QString besideTheProgram(const QString& name) {
  return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name);
}

class HtmlHelpViewerTest : public ::testing::Test {
 protected:
  HtmlHelpViewerTest() : engine(std::make_shared<FakeHtmlHelpEngine>()), viewer(engine) {
    manager.application = QStringLiteral("ORBENTA.chm");
    viewer.setManager(&manager);
  }
  const testing::HtmlHelpCall& onlyCall() {
    EXPECT_EQ(engine->calls.size(), 1u);
    return engine->calls.front();
  }

  std::shared_ptr<FakeHtmlHelpEngine> engine;
  StubManager manager;
  THtmlHelpViewer viewer;
};

TEST(ChmFileTest, TheTextFromTheLastDotDecidesInAnyCase) {
  EXPECT_TRUE(isChmFile(QStringLiteral("ORBENTA.chm")));
  EXPECT_TRUE(isChmFile(QStringLiteral("ORBENTA.CHM")));
  EXPECT_TRUE(isChmFile(QStringLiteral("C:\\ayuda.v2\\Orbenta.cHm")));
  EXPECT_FALSE(isChmFile(QStringLiteral("ORBENTA.chm.bak")));
  EXPECT_FALSE(isChmFile(QStringLiteral("ORBENTA.hlp")));
  EXPECT_FALSE(isChmFile(QStringLiteral("ORBENTA")));
  EXPECT_FALSE(isChmFile(QStringLiteral("chm")));
  EXPECT_FALSE(isChmFile(QString()));
}

TEST(BesideExecutableTest, ABareNameIsTakenFromTheProgramsFolderNotTheCurrentOne) {
  QTemporaryDir elsewhere;
  ASSERT_TRUE(elsewhere.isValid());
  QFile decoy(elsewhere.filePath(QStringLiteral("ORBENTA.chm")));
  ASSERT_TRUE(decoy.open(QIODevice::WriteOnly));
  decoy.close();
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
  const QString resolved = besideExecutable(QStringLiteral("ORBENTA.chm"));
  QDir::setCurrent(before);
  EXPECT_EQ(resolved, besideTheProgram(QStringLiteral("ORBENTA.chm")));
  EXPECT_NE(QDir::cleanPath(resolved), QDir::cleanPath(decoy.fileName()));
}

TEST(BesideExecutableTest, ANameWithAFolderIsKept) {
  EXPECT_EQ(besideExecutable(QStringLiteral("C:\\AYUDA\\ORBENTA.chm")),
            QStringLiteral("C:\\AYUDA\\ORBENTA.chm"));
  EXPECT_EQ(besideExecutable(QStringLiteral("/srv/ayuda/ORBENTA.chm")),
            QStringLiteral("/srv/ayuda/ORBENTA.chm"));
  EXPECT_EQ(besideExecutable(QStringLiteral("C:ORBENTA.chm")), QStringLiteral("C:ORBENTA.chm"));
}

TEST_F(HtmlHelpViewerTest, TheManagersFileComesBeforeTheApplications) {
  EXPECT_EQ(viewer.currentHelpFile(), besideTheProgram(QStringLiteral("ORBENTA.chm")));
  manager.current = QStringLiteral("/srv/otra.chm");
  EXPECT_EQ(viewer.currentHelpFile(), QStringLiteral("/srv/otra.chm"));
}

TEST_F(HtmlHelpViewerTest, TableOfContentsOfAnUpperCaseChmFile) {
  manager.application = QStringLiteral("ORBENTA.CHM");
  EXPECT_TRUE(viewer.canShowTableOfContents());
  viewer.showTableOfContents();
  const auto& call = onlyCall();
  EXPECT_EQ(call.command, kDisplayToc);
  EXPECT_EQ(call.file, besideTheProgram(QStringLiteral("ORBENTA.CHM")));
  EXPECT_EQ(call.owner, manager.owner);
  EXPECT_EQ(testing::number(call.data), 0u);
}

TEST_F(HtmlHelpViewerTest, DisplayTopicAddsTheDefaultExtensionOnlyWhenNeeded) {
  const QString file = besideTheProgram(QStringLiteral("ORBENTA.chm"));
  viewer.displayTopic(QStringLiteral("intro"));
  viewer.displayTopic(QStringLiteral("capitulo.html"));
  viewer.displayTopic(QStringLiteral("CAPITULO.HTM"));
  viewer.displayTopic(QStringLiteral("notas.txt"));
  ASSERT_EQ(engine->calls.size(), 4u);
  EXPECT_EQ(engine->calls[0].file, file + QStringLiteral("::/intro.htm"));
  EXPECT_EQ(engine->calls[1].file, file + QStringLiteral("::/capitulo.html"));
  EXPECT_EQ(engine->calls[2].file, file + QStringLiteral("::/CAPITULO.HTM"));
  EXPECT_EQ(engine->calls[3].file, file + QStringLiteral("::/notas.txt.htm"));
  for (const auto& call : engine->calls) {
    EXPECT_EQ(call.command, kDisplayTopic);
    EXPECT_EQ(testing::number(call.data), 0u);
  }
}

TEST_F(HtmlHelpViewerTest, ShowHelpSearchesTheIndexForWhatFollowsTheColon) {
  const QStringList strings = viewer.helpStrings(QStringLiteral("Exportar"));
  ASSERT_EQ(strings, QStringList{QStringLiteral("ZelHtmlHelp: Exportar")});
  viewer.showHelp(strings.front());
  viewer.showHelp(QStringLiteral("ZelHtmlHelp:  Plantilla horaria:  "));
  ASSERT_EQ(engine->calls.size(), 2u);
  EXPECT_EQ(engine->calls[0].command, kDisplayIndex);
  EXPECT_EQ(testing::keyword(engine->calls[0].data), QStringLiteral("Exportar"));
  EXPECT_EQ(testing::keyword(engine->calls[1].data), QStringLiteral("Plantilla horaria:"));
}

TEST_F(HtmlHelpViewerTest, ContextHelpUsesTheCurrentFileNotTheNamePassed) {
  EXPECT_TRUE(viewer.understandsContext(1, QStringLiteral("ORBENTA.CHM")));
  EXPECT_FALSE(viewer.understandsContext(1, QStringLiteral("ORBENTA.hlp")));
  viewer.displayHelpByContext(1, QStringLiteral("/otro/sitio/OTRO.chm"));
  const auto& call = onlyCall();
  EXPECT_EQ(call.command, kHelpContext);
  EXPECT_EQ(call.file, besideTheProgram(QStringLiteral("ORBENTA.chm")));
  EXPECT_EQ(testing::number(call.data), 1u);
}

TEST_F(HtmlHelpViewerTest, AFileThatIsNotChmIsLeftAlone) {
  manager.application = QStringLiteral("ORBENTA.hlp");
  EXPECT_EQ(viewer.understandsKeyword(QStringLiteral("Exportar")), 0);
  EXPECT_FALSE(viewer.understandsTopic(QStringLiteral("intro")));
  viewer.showTableOfContents();
  viewer.showHelp(QStringLiteral("ZelHtmlHelp: Exportar"));
  viewer.displayTopic(QStringLiteral("intro"));
  viewer.displayHelpByContext(1, QStringLiteral("ORBENTA.chm"));
  EXPECT_TRUE(engine->calls.empty());
}

TEST_F(HtmlHelpViewerTest, ShutDownClosesEveryWindowAndForgetsTheManager) {
  viewer.shutDown();
  const auto& call = onlyCall();
  EXPECT_EQ(call.command, kCloseAllWindows);
  EXPECT_EQ(call.owner, 0u);
  EXPECT_TRUE(call.file.isEmpty());
  EXPECT_EQ(viewer.manager(), nullptr);
}

TEST(HtmlHelpViewerWithoutEngineTest, EveryRequestDoesNothing) {
  auto engine = std::make_shared<FakeHtmlHelpEngine>(false);
  StubManager manager;
  manager.application = QStringLiteral("ORBENTA.chm");
  THtmlHelpViewer viewer(engine);
  viewer.setManager(&manager);
  viewer.showTableOfContents();
  viewer.showHelp(QStringLiteral("ZelHtmlHelp: Exportar"));
  viewer.displayTopic(QStringLiteral("intro"));
  viewer.displayHelpByContext(1, QStringLiteral("ORBENTA.chm"));
  viewer.shutDown();
  EXPECT_TRUE(engine->calls.empty());
}

TEST(HtmlHelpSelectorTest, SelectKeywordFindsTheViewersEntry) {
  THtmlHelpViewer viewer(nullptr);
  EXPECT_EQ(viewer.selectKeyword({QStringLiteral("ZelHtmlHelp: Exportar"), QStringLiteral("Otro: Exportar")}),
            0);
  EXPECT_EQ(viewer.selectKeyword({QStringLiteral("Otro: Exportar"), QStringLiteral("ZelHtmlHelp: Exportar")}),
            1);
  EXPECT_EQ(viewer.selectKeyword({QStringLiteral("Otro: x"), QStringLiteral("ZelHtmlHelp")}), 1);
  // The name must match exactly before the colon.
  EXPECT_EQ(viewer.selectKeyword({QStringLiteral("Otro: x"), QStringLiteral("ZelHtmlHelpX: y"),
                                  QStringLiteral("zelhtmlhelp: z"), QStringLiteral("ZelHtmlHelp : w")}),
            0);
  EXPECT_EQ(viewer.selectKeyword({}), 0);
}

TEST(HtmlHelpSelectorTest, TableOfContentsFindsTheViewersName) {
  THtmlHelpViewer viewer(nullptr);
  EXPECT_EQ(viewer.tableOfContents({QStringLiteral("ZelHtmlHelp")}), 0);
  EXPECT_EQ(
      viewer.tableOfContents({QStringLiteral("Alfa"), QStringLiteral("Beta"), QStringLiteral("ZelHtmlHelp")}),
      2);
  EXPECT_EQ(viewer.tableOfContents({QStringLiteral("Alfa"), QStringLiteral("zelhtmlhelp")}), -1);
  EXPECT_EQ(viewer.tableOfContents({}), -1);
}

TEST(WinHelpTesterTest, AnswersNoAndHasNoFiles) {
  TWinHelpTester tester;
  EXPECT_FALSE(tester.canShowALink(QStringLiteral("Exportar"), QStringLiteral("ORBENTA.hlp")));
  EXPECT_FALSE(tester.canShowTopic(QStringLiteral("intro"), QStringLiteral("ORBENTA.hlp")));
  EXPECT_FALSE(tester.canShowContext(1, QStringLiteral("ORBENTA.hlp")));
  EXPECT_EQ(tester.helpStrings(QStringLiteral("Exportar")), QStringList{QStringLiteral(": Exportar")});
  EXPECT_TRUE(tester.helpPath().isEmpty());
  EXPECT_TRUE(tester.defaultHelpFile().isEmpty());
}

}  // namespace
}  // namespace pasarela::help
