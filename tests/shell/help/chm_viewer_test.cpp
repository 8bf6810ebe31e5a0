// The help window of our own on the sample help file, driven by the HTML
// Help calls of the viewer: contents, index, context map, topics, links,
// and what it does with a missing file or an unmapped context.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "chm_test_support.h"
#include "fake_html_help_engine.h"
#include "shell/help/chm_help_engine.h"
#include "shell/help/help_system.h"
#include "shell/help/html_help_viewer.h"

namespace pasarela::help {
namespace {

using testing::sampleChm;

class ChmHelpEngineTest : public ::testing::Test {
 protected:
  ChmViewerWindow* call(unsigned command, const HtmlHelpData& data = quintptr{0},
                        const QString& suffix = {}) {
    engine.htmlHelp(0, sampleChm() + suffix, command, data);
    return engine.window(sampleChm());
  }
  static QString pageText(ChmViewerWindow* window) { return window->browser()->toPlainText(); }

  ChmHelpEngine engine;
};

TEST_F(ChmHelpEngineTest, TableOfContentsWithTheDefaultTopic) {
  ChmViewerWindow* window = call(kDisplayToc);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->hasFile());
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), QStringLiteral("PasarelaHoraria"));
  EXPECT_EQ(window->tabs()->currentIndex(), 0);
  QTreeWidget* tree = window->contentsTree();
  ASSERT_EQ(tree->topLevelItemCount(), 3);
  EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Ventana principal"));
  QTreeWidgetItem* import = tree->topLevelItem(2);
  EXPECT_EQ(import->text(0), QStringLiteral("Importar datos desde Tempolis"));
  ASSERT_EQ(import->childCount(), 2);
  EXPECT_EQ(import->child(0)->text(0), QStringLiteral("Control de profesores"));
  EXPECT_EQ(window->currentTopic(), QStringLiteral("/ventana_principal.htm"));

  // A second request reuses the window and keeps the page shown.
  window->showTopic(QStringLiteral("exportar.htm"));
  EXPECT_EQ(call(kDisplayToc), window);
  EXPECT_EQ(window->currentTopic(), QStringLiteral("/exportar.htm"));
  EXPECT_EQ(engine.windows().size(), 1u);
}

TEST_F(ChmHelpEngineTest, TheIndexIsSearchedForTheKeyword) {
  ChmViewerWindow* window = call(kDisplayIndex, QStringLiteral("Exportar"));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->tabs()->currentIndex(), 1);
  EXPECT_EQ(window->indexSearch()->text(), QStringLiteral("Exportar"));
  ASSERT_NE(window->indexList()->currentItem(), nullptr);
  EXPECT_EQ(window->indexList()->currentItem()->text(), QStringLiteral("Exportar"));
  EXPECT_EQ(window->currentTopic(), QStringLiteral("/exportar.htm"));
  ASSERT_NE(window->contentsTree()->currentItem(), nullptr);
  EXPECT_EQ(window->contentsTree()->currentItem()->text(0), QStringLiteral("Exportar datos hacia Tempolis"));

  // Without regard to case, and inside an entry when no entry starts with it.
  EXPECT_TRUE(window->showIndex(QStringLiteral("plantilla")));
  EXPECT_EQ(window->currentTopic(), QStringLiteral("/control_plantilla.htm"));
  EXPECT_TRUE(window->showIndex(QStringLiteral("identificación")));
  EXPECT_EQ(window->currentTopic(), QStringLiteral("/control_profesores.htm"));

  // A keyword that is not in the index leaves the page as it was.
  EXPECT_FALSE(window->showIndex(QStringLiteral("zzz")));
  EXPECT_EQ(window->currentTopic(), QStringLiteral("/control_profesores.htm"));
}

TEST_F(ChmHelpEngineTest, ContextOneIsTheMainWindowsTopicWithItsImage) {
  ChmViewerWindow* window = call(kHelpContext, quintptr{1});
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->currentTopic(), QStringLiteral("/ventana_principal.htm"));
  EXPECT_TRUE(pageText(window).contains(QStringLiteral("Carpeta en la que se encuentran los datos de OB")));
  // The page's image and links are resolved inside the help file.
  const QVariant image = window->browser()->loadResource(QTextDocument::ImageResource,
                                                         QUrl(QStringLiteral("imagenes/pasarela.png")));
  ASSERT_EQ(image.userType(), QMetaType::QImage);
  EXPECT_EQ(image.value<QImage>().size(), QSize(96, 48));
  EXPECT_FALSE(
      window->browser()
          ->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("http://ejemplo.org/x.png")))
          .isValid());
  emit window->browser()->anchorClicked(QUrl(QStringLiteral("importar.htm")));
  EXPECT_EQ(window->currentTopic(), QStringLiteral("/importar.htm"));
  emit window->browser()->anchorClicked(QUrl(QStringLiteral("control_plantilla.htm")));
  EXPECT_EQ(window->currentTopic(), QStringLiteral("/control_plantilla.htm"));
  EXPECT_TRUE(pageText(window).contains(QStringLiteral("franjas horarias")));
}

TEST_F(ChmHelpEngineTest, TopicByPath) {
  ChmViewerWindow* window = call(kDisplayTopic, quintptr{0}, QStringLiteral("::/importar.htm"));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->currentTopic(), QStringLiteral("/importar.htm"));
  EXPECT_TRUE(pageText(window).contains(QStringLiteral("SOLUC.DBF")));

  call(kDisplayTopic, quintptr{0}, QStringLiteral("::/no_existe.htm"));
  EXPECT_TRUE(window->currentTopic().isEmpty());
  EXPECT_TRUE(pageText(window).contains(QStringLiteral("no_existe.htm")));
}

TEST_F(ChmHelpEngineTest, BackAndForwardButtonsWalkTheTopicsSeen) {
  ChmViewerWindow* window = call(kDisplayTopic, quintptr{0}, QStringLiteral("::/importar.htm"));
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(window->backButton()->isEnabled());
  emit window->browser()->anchorClicked(QUrl(QStringLiteral("control_plantilla.htm")));
  ASSERT_EQ(window->currentTopic(), QStringLiteral("/control_plantilla.htm"));
  ASSERT_TRUE(window->backButton()->isEnabled());
  EXPECT_FALSE(window->forwardButton()->isEnabled());
  window->backButton()->click();
  EXPECT_EQ(window->currentTopic(), QStringLiteral("/importar.htm"));
  EXPECT_TRUE(pageText(window).contains(QStringLiteral("SOLUC.DBF")));
  ASSERT_TRUE(window->forwardButton()->isEnabled());
  window->forwardButton()->click();
  EXPECT_EQ(window->currentTopic(), QStringLiteral("/control_plantilla.htm"));
}

TEST_F(ChmHelpEngineTest, IndexEntriesCanBeReadWhole) {
  ChmViewerWindow* window = call(kDisplayIndex, HtmlHelpData(QStringLiteral("Exportar")));
  ASSERT_NE(window, nullptr);
  QListWidget* index = window->indexList();
  ASSERT_GT(index->count(), 0);
  for (int i = 0; i < index->count(); ++i)
    EXPECT_EQ(index->item(i)->toolTip(), index->item(i)->text().trimmed()) << i;
}

TEST_F(ChmHelpEngineTest, AnUnmappedContextIsSaidInTheWindow) {
  ChmViewerWindow* window = call(kHelpContext, quintptr{999});
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->hasFile());
  EXPECT_TRUE(window->currentTopic().isEmpty());
  EXPECT_TRUE(pageText(window).contains(QStringLiteral("999")));
  EXPECT_EQ(window->contentsTree()->topLevelItemCount(), 3);
}

TEST_F(ChmHelpEngineTest, AMissingFileIsSaidInTheWindow) {
  const QString missing = QStringLiteral("/no/existe/ORBENTA.chm");
  for (unsigned command : {kDisplayToc, kDisplayIndex, kHelpContext, kDisplayTopic}) {
    engine.htmlHelp(
        0, command == kDisplayTopic ? missing + QStringLiteral("::/a.htm") : missing, command,
        command == kDisplayIndex ? HtmlHelpData(QStringLiteral("Exportar")) : HtmlHelpData(quintptr{1}));
  }
  ChmViewerWindow* window = engine.window(missing);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(window->hasFile());
  EXPECT_TRUE(window->currentTopic().isEmpty());
  // Named as the user knows it: a Windows path (Z: is the host's root).
  EXPECT_TRUE(pageText(window).contains(QStringLiteral("Z:\\no\\existe\\ORBENTA.chm")))
      << pageText(window).toStdString();
  EXPECT_FALSE(pageText(window).contains(missing));
  EXPECT_EQ(window->contentsTree()->topLevelItemCount(), 0);
  EXPECT_EQ(engine.windows().size(), 1u);
}

TEST_F(ChmHelpEngineTest, CloseAllClosesEveryHelpWindow) {
  call(kDisplayToc);
  engine.htmlHelp(0, QStringLiteral("/no/existe/OTRO.chm"), kDisplayToc, quintptr{0});
  ASSERT_EQ(engine.windows().size(), 2u);
  engine.htmlHelp(0, QString(), kCloseAllWindows, quintptr{0});
  EXPECT_TRUE(engine.windows().empty());
  EXPECT_EQ(engine.window(sampleChm()), nullptr);
  // A window the user closed is opened again on the next request.
  ChmViewerWindow* window = call(kDisplayToc);
  ASSERT_NE(window, nullptr);
  window->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(engine.window(sampleChm()), nullptr);
  EXPECT_NE(call(kHelpContext, quintptr{1}), nullptr);
}

TEST_F(ChmHelpEngineTest, AnOpenHelpWindowDoesNotKeepTheProgramRunning) {
  QWidget mainWindow;
  mainWindow.show();
  ASSERT_NE(call(kHelpContext, quintptr{1}), nullptr);
  QTimer::singleShot(0, &mainWindow, &QWidget::close);
  // Only a guard against a hanging test: the loop must end as soon as the
  // main window has closed.
  QTimer::singleShot(30000, qApp, [] { QApplication::exit(2); });
  EXPECT_EQ(QApplication::exec(), 0);
}

TEST_F(ChmHelpEngineTest, UnknownCommandsAreIgnored) {
  engine.htmlHelp(0, sampleChm(), 0x12, quintptr{0});  // 18 in hexadecimal is not 18
  engine.htmlHelp(0, sampleChm(), 3, quintptr{0});
  EXPECT_TRUE(engine.windows().empty());
}

// The window's two requests through the process's help system, on the
// sample file; the context-1 page is saved as a picture for the record.
TEST(HelpSystemOnChmTest, HelpContentsAndContextOneOpenTheRightPage) {
  // As the program does it: a bare name, found beside the program whatever
  // the current folder.
  QTemporaryDir elsewhere;
  ASSERT_TRUE(elsewhere.isValid());
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
  HelpSystem& help = HelpSystem::instance();
  help.setHelpFile(QStringLiteral("ORBENTA.chm"));
  const bool contents = help.showContents();
  const bool context = help.contextHelp(1);
  QDir::setCurrent(before);
  ASSERT_TRUE(contents);
  ASSERT_TRUE(context);

  std::vector<ChmViewerWindow*> windows;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* window = qobject_cast<ChmViewerWindow*>(widget); window && window->isVisible())
      windows.push_back(window);
  ASSERT_EQ(windows.size(), 1u);
  ChmViewerWindow* window = windows.front();
  ASSERT_TRUE(window->hasFile());
  EXPECT_EQ(window->currentTopic(), QStringLiteral("/ventana_principal.htm"));

  const QImage shot = window->grab().toImage();
  ASSERT_FALSE(shot.isNull());
  EXPECT_TRUE(shot.save(QStringLiteral(PASARELA_BINARY_DIR "/help_viewer_context1.png")));

  ASSERT_NE(htmlHelpViewer(), nullptr);
  htmlHelpViewer()->softShutDown();
  for (QWidget* widget : QApplication::topLevelWidgets())
    EXPECT_EQ(qobject_cast<ChmViewerWindow*>(widget), nullptr);
}

}  // namespace
}  // namespace pasarela::help
