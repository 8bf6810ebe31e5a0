// The table of contents and index files: entries, nesting and loose HTML.
#include "shell/help/sitemap.h"

#include <gtest/gtest.h>

#include "fake_html_help_engine.h"

namespace pasarela::help {
namespace {

TEST(SitemapTest, EntriesWithTheirNesting) {
  const auto entries = parseSitemap(QStringLiteral(R"(
<HTML><BODY>
<OBJECT type="text/site properties"><param name="ImageType" value="Folder"></OBJECT>
<UL>
  <LI> <OBJECT type="text/sitemap">
    <param name="Name" value="Ventana principal">
    <param name="Local" value="ventana_principal.htm">
  </OBJECT>
  <UL>
    <LI> <OBJECT type="text/sitemap"><param name="Name" value="Uno"><param name="Local" value="uno.htm"></OBJECT>
    <UL><LI><OBJECT type="text/sitemap"><param name="Name" value="Dos"></OBJECT></UL>
  </UL>
  <LI> <OBJECT type="text/sitemap"><param name="Name" value="Tres"><param name="Local" value="tres.htm"></OBJECT>
</UL></BODY></HTML>)"));
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].name, QStringLiteral("Ventana principal"));
  EXPECT_EQ(entries[0].local, QStringLiteral("ventana_principal.htm"));
  EXPECT_EQ(entries[0].level, 0);
  EXPECT_EQ(entries[1].level, 1);
  EXPECT_EQ(entries[2].name, QStringLiteral("Dos"));
  EXPECT_TRUE(entries[2].local.isEmpty());
  EXPECT_EQ(entries[2].level, 2);
  EXPECT_EQ(entries[3].name, QStringLiteral("Tres"));
  EXPECT_EQ(entries[3].level, 0);
}

TEST(SitemapTest, LooseHtmlQuotesEntitiesAndComments) {
  const auto entries = parseSitemap(QStringLiteral(
      "<ul><!-- <OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"oculto\"></OBJECT> -->"
      "<li><object TYPE='text/sitemap'><PARAM NAME=name VALUE='Pl&aacute;n &amp; &#211;rden &#x41; &bogus;'>"
      "<param name=\"Local\" value=\"a b.htm\"><param name=\"Name\" value=\"segundo\">"
      "<param name=\"Local\" value=\"otro.htm\"></object>"
      "<li><object type=\"text/sitemap\"><param name=\"Local\" value=\"sin_nombre.htm\"></object>"
      "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"cortado\">"));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, QStringLiteral("Plán & Órden A &bogus;"));
  EXPECT_EQ(entries[0].local, QStringLiteral("a b.htm"));
}

TEST(SitemapTest, NothingToReadGivesNoEntries) {
  EXPECT_TRUE(parseSitemap(QString()).empty());
  EXPECT_TRUE(parseSitemap(QStringLiteral("<ul><li><object type=\"text/sitemap\"")).empty());
  EXPECT_TRUE(parseSitemap(QStringLiteral("</ul></ul><<>>")).empty());
}

}  // namespace
}  // namespace pasarela::help
