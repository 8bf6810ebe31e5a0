#include "export/export_text.h"

#include "data/folders.h"
#include "data/text_cut.h"
#include "data/winpath.h"

namespace pasarela::exporting {

namespace {

std::size_t charLength(const std::string& text, std::size_t i) {
  return static_cast<unsigned char>(text[i]) < 0x80 ? 1 : charBytesAt(text, i);
}

bool isBlankByte(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::size_t charCount(const std::string& text) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size(); i += charLength(text, i)) ++n;
  return n;
}

std::string charSub(const std::string& text, std::size_t pos, std::size_t count) {
  std::size_t i = 0;
  for (std::size_t skipped = 0; i < text.size() && skipped < pos; ++skipped) i += charLength(text, i);
  std::size_t end = i;
  for (std::size_t taken = 0; end < text.size() && taken < count; ++taken) end += charLength(text, end);
  return text.substr(i, end - i);
}

std::string lastChar(const std::string& text) {
  std::size_t last = 0;
  for (std::size_t i = 0; i < text.size(); i += charLength(text, i)) last = i;
  return text.substr(last);
}

bool isBlank(const std::string& text) {
  for (char c : text) {
    if (!isBlankByte(c)) return false;
  }
  return true;
}

std::string trimBlanks(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isBlankByte(text[begin])) ++begin;
  while (end > begin && isBlankByte(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

void deleteInterchangeFiles(const std::string& folder, const std::string& base) {
  for (const char* ext : {".DBF", ".MDX"}) {
    const std::string path = winpath::join(folder, base + ext);
    try {
      if (winpath::fileExists(path)) winpath::deleteFile(path);
    } catch (const std::exception&) {
      // Ignored: the table's creation fails with the engine's message.
    }
  }
}

}  // namespace pasarela::exporting
