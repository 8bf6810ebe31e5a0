// A compiled HTML help (.chm) file read with chmlib: its objects, the
// names in its #SYSTEM data and its context map.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

struct chmFile;

namespace pasarela::help {

class ChmFile {
 public:
  // Null when the file is missing or is not a compiled help file.
  static std::unique_ptr<ChmFile> open(const QString& hostPath);
  ~ChmFile();
  ChmFile(const ChmFile&) = delete;
  ChmFile& operator=(const ChmFile&) = delete;

  const QString& path() const { return path_; }

  // Contents of an object ("/topic.htm"), if the file holds it.
  std::optional<QByteArray> read(const QString& objectPath) const;
  bool contains(const QString& objectPath) const;

  // From the #SYSTEM data; empty when not given.
  const QString& title() const { return title_; }
  const QString& contentsFile() const { return contentsFile_; }  // object path of the .hhc
  const QString& indexFile() const { return indexFile_; }        // object path of the .hhk
  const QString& defaultTopic() const { return defaultTopic_; }  // object path

  // Object path of the topic mapped to a help-context number: #IVB holds
  // pairs (context number, offset of the topic's name in #STRINGS).
  std::optional<QString> topicForContext(quint32 contextId) const;

  // Object path of a name found in the file or in a link: backslashes made
  // slashes, "ms-its:file.chm::" prefixes and "./" dropped, "/" in front.
  static QString objectPath(const QString& name);

 private:
  ChmFile(chmFile* handle, QString path);
  void readSystem();
  // The object a stored name stands for; names stored with a folder of the
  // machine that compiled the file are matched by their trailing part.
  std::optional<QString> findStoredName(const QString& name) const;

  chmFile* handle_;
  QString path_;
  QString title_, contentsFile_, indexFile_, defaultTopic_;
};

// Text of a file in the help: UTF-8 when it is valid UTF-8, else the
// charset a HTML file declares, else Latin-1.
QString decodeHelpText(const QByteArray& bytes);

}  // namespace pasarela::help
