// The sitemap files of a compiled help: the table of contents (.hhc) and
// the index (.hhk), HTML lists of <OBJECT type="text/sitemap"> entries.
#pragma once

#include <QString>
#include <vector>

namespace pasarela::help {

struct SitemapEntry {
  QString name;   // the first "Name" parameter
  QString local;  // the first "Local" parameter: the topic, as written
  int level = 0;  // nesting depth of its list, 0 for the outermost
};

// The entries in the order they are written; tolerant of the loose HTML
// these files are made of. Entries without a name are skipped.
std::vector<SitemapEntry> parseSitemap(const QString& html);

}  // namespace pasarela::help
