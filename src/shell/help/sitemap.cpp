#include "shell/help/sitemap.h"

#include <QHash>
#include <QTextDocumentFragment>

namespace pasarela::help {

namespace {

QString decodeEntities(const QString& text) {
  if (!text.contains(u'&')) return text;
  static const QHash<QString, QChar> named = {
      {QStringLiteral("amp"), u'&'},  {QStringLiteral("lt"), u'<'},    {QStringLiteral("gt"), u'>'},
      {QStringLiteral("quot"), u'"'}, {QStringLiteral("apos"), u'\''}, {QStringLiteral("nbsp"), QChar(0xa0)}};
  QString out;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const qsizetype semi = text.at(i) == u'&' ? text.indexOf(u';', i) : -1;
    if (semi < 0 || semi - i > 10) {
      out += text.at(i);
      continue;
    }
    const QString entity = text.mid(i + 1, semi - i - 1);
    bool ok = false;
    char32_t code = 0;
    if (entity.startsWith(u"#x", Qt::CaseInsensitive))
      code = entity.mid(2).toUInt(&ok, 16);
    else if (entity.startsWith(u'#'))
      code = entity.mid(1).toUInt(&ok, 10);
    if (ok && code > 0 && code <= 0x10ffff) {
      out += QString::fromUcs4(&code, 1);
    } else if (auto it = named.find(entity.toLower()); it != named.end()) {
      out += *it;
    } else {
      // The rest of HTML's named characters ("&aacute;"), as Qt's HTML reader knows them.
      const QString raw = text.mid(i, semi - i + 1);
      const QString decoded = QTextDocumentFragment::fromHtml(raw).toPlainText();
      out += decoded.size() == 1 ? decoded : raw;
    }
    i = semi;
  }
  return out;
}

// A tag: its lower-case name (with a leading "/" when closing) and attributes.
struct Tag {
  QString name;
  QHash<QString, QString> attributes;  // lower-case names
};

Tag parseTag(QStringView body) {
  Tag tag;
  qsizetype i = 0;
  const auto skipBlanks = [&] {
    while (i < body.size() && body.at(i).isSpace()) ++i;
  };
  skipBlanks();
  const qsizetype nameStart = i;
  while (i < body.size() && !body.at(i).isSpace() && body.at(i) != u'/') ++i;
  if (i == nameStart && i < body.size()) ++i;  // a lone "/" of a closing tag
  while (i < body.size() && !body.at(i).isSpace()) ++i;
  tag.name = body.mid(nameStart, i - nameStart).toString().toLower();
  while (i < body.size()) {
    skipBlanks();
    const qsizetype keyStart = i;
    while (i < body.size() && !body.at(i).isSpace() && body.at(i) != u'=' && body.at(i) != u'/') ++i;
    const QString key = body.mid(keyStart, i - keyStart).toString().toLower();
    skipBlanks();
    QString value;
    if (i < body.size() && body.at(i) == u'=') {
      ++i;
      skipBlanks();
      if (i < body.size() && (body.at(i) == u'"' || body.at(i) == u'\'')) {
        const QChar quote = body.at(i++);
        const qsizetype valueStart = i;
        while (i < body.size() && body.at(i) != quote) ++i;
        value = body.mid(valueStart, i - valueStart).toString();
        if (i < body.size()) ++i;
      } else {
        const qsizetype valueStart = i;
        while (i < body.size() && !body.at(i).isSpace()) ++i;
        value = body.mid(valueStart, i - valueStart).toString();
      }
    }
    if (!key.isEmpty()) tag.attributes.insert(key, decodeEntities(value));
    if (i == keyStart) ++i;  // stray character
  }
  return tag;
}

}  // namespace

std::vector<SitemapEntry> parseSitemap(const QString& html) {
  std::vector<SitemapEntry> entries;
  int depth = 0;
  bool inEntry = false;
  SitemapEntry current;
  for (qsizetype at = html.indexOf(u'<'); at >= 0; at = html.indexOf(u'<', at)) {
    if (html.mid(at, 4) == u"<!--") {
      const qsizetype close = html.indexOf(QStringLiteral("-->"), at + 4);
      if (close < 0) break;
      at = close + 3;
      continue;
    }
    const qsizetype end = html.indexOf(u'>', at);
    if (end < 0) break;
    const Tag tag = parseTag(QStringView(html).mid(at + 1, end - at - 1));
    at = end + 1;
    if (tag.name == u"ul") {
      ++depth;
    } else if (tag.name == u"/ul") {
      depth = std::max(0, depth - 1);
    } else if (tag.name == u"object" &&
               tag.attributes.value(QStringLiteral("type")).compare(u"text/sitemap", Qt::CaseInsensitive) ==
                   0) {
      inEntry = true;
      current = SitemapEntry{{}, {}, std::max(0, depth - 1)};
    } else if (tag.name == u"param" && inEntry) {
      const QString key = tag.attributes.value(QStringLiteral("name")).toLower();
      const QString value = tag.attributes.value(QStringLiteral("value"));
      if (key == u"name" && current.name.isEmpty()) current.name = value;
      if (key == u"local" && current.local.isEmpty()) current.local = value;
    } else if (tag.name == u"/object" && inEntry) {
      inEntry = false;
      if (!current.name.isEmpty()) entries.push_back(current);
    }
  }
  return entries;
}

}  // namespace pasarela::help
