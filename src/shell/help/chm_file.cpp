#include "shell/help/chm_file.h"

#include <chm_lib.h>

#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace pasarela::help {

namespace {

quint32 readLe32(const QByteArray& bytes, qsizetype at) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + at;
  return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 readLe16(const QByteArray& bytes, qsizetype at) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + at;
  return quint16(p[0] | p[1] << 8);
}

// The NUL-terminated text at an offset.
QByteArray zeroTerminated(const QByteArray& bytes, qsizetype at) {
  if (at < 0 || at >= bytes.size()) return {};
  const qsizetype end = bytes.indexOf('\0', at);
  return bytes.mid(at, end < 0 ? -1 : end - at);
}

}  // namespace

QString decodeHelpText(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (!utf8.hasError()) return text;
  QStringDecoder declared = QStringDecoder::decoderForHtml(bytes);
  if (declared.isValid() && QString::fromLatin1(declared.name()).compare(u"UTF-8", Qt::CaseInsensitive) != 0)
    return declared.decode(bytes);
  return QString::fromLatin1(bytes);
}

ChmFile::ChmFile(chmFile* handle, QString path) : handle_(handle), path_(std::move(path)) {}

ChmFile::~ChmFile() { chm_close(handle_); }

std::unique_ptr<ChmFile> ChmFile::open(const QString& hostPath) {
  if (hostPath.isEmpty() || !QFile::exists(hostPath)) return nullptr;
  chmFile* handle = chm_open(QFile::encodeName(hostPath).constData());
  if (!handle) return nullptr;
  std::unique_ptr<ChmFile> file(new ChmFile(handle, hostPath));
  file->readSystem();
  return file;
}

QString ChmFile::objectPath(const QString& name) {
  QString path = name;
  path.replace(u'\\', u'/');
  if (const qsizetype sep = path.indexOf(QStringLiteral("::")); sep >= 0) path = path.mid(sep + 2);
  path = QDir::cleanPath(path);
  if (path == u".") path.clear();
  if (!path.startsWith(u'/')) path.prepend(u'/');
  return path;
}

std::optional<QByteArray> ChmFile::read(const QString& objectPath) const {
  chmUnitInfo info{};
  const QByteArray name = objectPath.toUtf8();
  if (chm_resolve_object(handle_, name.constData(), &info) != CHM_RESOLVE_SUCCESS) return std::nullopt;
  // No page, picture or table of a help file comes near this; a damaged
  // directory entry might claim anything.
  constexpr LONGUINT64 kLargestObject = 64 * 1024 * 1024;
  if (info.length > kLargestObject) return std::nullopt;
  QByteArray bytes(static_cast<qsizetype>(info.length), Qt::Uninitialized);
  if (info.length == 0) return bytes;
  const LONGINT64 got =
      chm_retrieve_object(handle_, &info, reinterpret_cast<unsigned char*>(bytes.data()), 0, info.length);
  if (got < 0 || static_cast<LONGUINT64>(got) != info.length) return std::nullopt;
  return bytes;
}

bool ChmFile::contains(const QString& objectPath) const {
  chmUnitInfo info{};
  const QByteArray name = objectPath.toUtf8();
  return chm_resolve_object(handle_, name.constData(), &info) == CHM_RESOLVE_SUCCESS;
}

void ChmFile::readSystem() {
  // #SYSTEM: a version number, then records of (code, length, data).
  const auto system = read(QStringLiteral("/#SYSTEM"));
  if (!system) return;
  for (qsizetype at = 4; at + 4 <= system->size();) {
    const quint16 code = readLe16(*system, at);
    const quint16 length = readLe16(*system, at + 2);
    at += 4;
    if (at + length > system->size()) break;
    const QString text = decodeHelpText(zeroTerminated(system->mid(at, length), 0));
    switch (code) {
      case 0:
        contentsFile_ = objectPath(text);
        break;
      case 1:
        indexFile_ = objectPath(text);
        break;
      case 2:
        defaultTopic_ = objectPath(text);
        break;
      case 3:
        title_ = text;
        break;
      default:
        break;
    }
    at += length;
  }
  if (contentsFile_ == u"/") contentsFile_.clear();
  if (indexFile_ == u"/") indexFile_.clear();
  if (defaultTopic_ == u"/") defaultTopic_.clear();
}

std::optional<QString> ChmFile::findStoredName(const QString& name) const {
  QString path = objectPath(name);
  for (;;) {
    if (path.size() > 1 && contains(path)) return path;
    const qsizetype next = path.indexOf(u'/', 1);
    if (next < 0) return std::nullopt;
    path = path.mid(next);
  }
}

std::optional<QString> ChmFile::topicForContext(quint32 contextId) const {
  const auto map = read(QStringLiteral("/#IVB"));
  const auto strings = read(QStringLiteral("/#STRINGS"));
  if (!map || !strings || map->size() < 4) return std::nullopt;
  // The first number is the length of the pairs that follow.
  const qsizetype end = std::min<qsizetype>(map->size(), 4 + qsizetype(readLe32(*map, 0)));
  for (qsizetype at = 4; at + 8 <= end; at += 8) {
    if (readLe32(*map, at) != contextId) continue;
    const QByteArray stored = zeroTerminated(*strings, qsizetype(readLe32(*map, at + 4)));
    if (stored.isEmpty()) return std::nullopt;
    return findStoredName(decodeHelpText(stored));
  }
  return std::nullopt;
}

}  // namespace pasarela::help
