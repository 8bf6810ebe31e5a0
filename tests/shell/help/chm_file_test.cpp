// Reading the sample help file with chmlib: its names and its context map.
#include "shell/help/chm_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "chm_test_support.h"
#include "fake_html_help_engine.h"

namespace pasarela::help {
namespace {

TEST(ChmFileTest, ReadsTheNamesOfTheSampleFile) {
  const auto file = ChmFile::open(testing::sampleChm());
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->title(), QStringLiteral("PasarelaHoraria"));
  EXPECT_EQ(file->contentsFile(), QStringLiteral("/orbenta.hhc"));
  EXPECT_EQ(file->indexFile(), QStringLiteral("/orbenta.hhk"));
  EXPECT_EQ(file->defaultTopic(), QStringLiteral("/ventana_principal.htm"));
  const auto page = file->read(QStringLiteral("/exportar.htm"));
  ASSERT_TRUE(page.has_value());
  EXPECT_TRUE(decodeHelpText(*page).contains(QStringLiteral("Exportar datos hacia Tempolis")));
  EXPECT_FALSE(file->read(QStringLiteral("/no_existe.htm")).has_value());
}

TEST(ChmFileTest, TheContextMapGivesEachNumbersTopic) {
  const auto file = ChmFile::open(testing::sampleChm());
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->topicForContext(1), QStringLiteral("/ventana_principal.htm"));
  EXPECT_EQ(file->topicForContext(2), QStringLiteral("/exportar.htm"));
  EXPECT_EQ(file->topicForContext(5), QStringLiteral("/control_plantilla.htm"));
  EXPECT_EQ(file->topicForContext(0), std::nullopt);
  EXPECT_EQ(file->topicForContext(6), std::nullopt);
  EXPECT_EQ(file->topicForContext(0xffffffffu), std::nullopt);
}

TEST(ChmFileTest, AMissingOrForeignFileDoesNotOpen) {
  EXPECT_EQ(ChmFile::open(QStringLiteral("/no/existe/ORBENTA.chm")), nullptr);
  EXPECT_EQ(ChmFile::open(QString()), nullptr);
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile notHelp(dir.filePath(QStringLiteral("ORBENTA.chm")));
  ASSERT_TRUE(notHelp.open(QIODevice::WriteOnly));
  notHelp.write(QByteArray(4096, 'x'));
  notHelp.close();
  EXPECT_EQ(ChmFile::open(notHelp.fileName()), nullptr);
}

TEST(ChmFileTest, ObjectPathsOfNamesAndLinks) {
  EXPECT_EQ(ChmFile::objectPath(QStringLiteral("intro.htm")), QStringLiteral("/intro.htm"));
  EXPECT_EQ(ChmFile::objectPath(QStringLiteral("/intro.htm")), QStringLiteral("/intro.htm"));
  EXPECT_EQ(ChmFile::objectPath(QStringLiteral("imagenes\\logo.png")), QStringLiteral("/imagenes/logo.png"));
  EXPECT_EQ(ChmFile::objectPath(QStringLiteral("./a/../b.htm")), QStringLiteral("/b.htm"));
  EXPECT_EQ(ChmFile::objectPath(QStringLiteral("ms-its:ORBENTA.chm::/exportar.htm")),
            QStringLiteral("/exportar.htm"));
  EXPECT_EQ(ChmFile::objectPath(QStringLiteral("C:\\AYUDA\\ORBENTA.chm::/a/b.htm")),
            QStringLiteral("/a/b.htm"));
}

TEST(DecodeHelpTextTest, Utf8ElseTheDeclaredCharsetElseLatin1) {
  EXPECT_EQ(decodeHelpText(QByteArray("C\xc3\xb3"
                                      "digo")),
            QStringLiteral("Código"));
  EXPECT_EQ(decodeHelpText(QByteArray("C\xf3"
                                      "digo")),
            QStringLiteral("Código"));
  const QByteArray declared =
      "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
      "</head><body>\x80 \xf3</body></html>";
  EXPECT_TRUE(decodeHelpText(declared).contains(QStringLiteral("€ ó")));
}

}  // namespace
}  // namespace pasarela::help
