#include "shell/ini_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <vector>

#include "base/error.h"
#include "base/os/file_system.h"

namespace fs = std::filesystem;

namespace pasarela::shell {

namespace {

struct Line {
  std::string text;
  std::string eol;  // "\r\n", "\n" or "" (last line without one)
};

std::vector<Line> splitLines(const std::string& content) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < content.size()) {
    const size_t nl = content.find('\n', start);
    if (nl == std::string::npos) {
      lines.push_back({content.substr(start), ""});
      break;
    }
    const bool cr = nl > start && content[nl - 1] == '\r';
    lines.push_back({content.substr(start, nl - start - (cr ? 1 : 0)), cr ? "\r\n" : "\n"});
    start = nl + 1;
  }
  return lines;
}

std::string trim(const std::string& s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  size_t b = 0, e = s.size();
  while (b < e && blank(s[b])) ++b;
  while (e > b && blank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool equalNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool isSectionHeader(const std::string& text) {
  const std::string t = trim(text);
  return !t.empty() && t[0] == '[';
}

std::string sectionName(const std::string& text) {
  const std::string t = trim(text);
  const size_t close = t.find(']');
  return trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

}  // namespace

std::string setIniValue(const std::string& content, const std::string& section, const std::string& key,
                        const std::string& value) {
  std::vector<Line> lines = splitLines(content);
  std::string eol = "\r\n";
  for (const Line& l : lines)
    if (!l.eol.empty()) {
      eol = l.eol;
      break;
    }
  const std::string entry = key + "=" + value;

  size_t header = lines.size();
  for (size_t i = 0; i < lines.size(); ++i)
    if (isSectionHeader(lines[i].text) && equalNoCase(sectionName(lines[i].text), section)) {
      header = i;
      break;
    }

  if (header == lines.size()) {
    if (!lines.empty() && lines.back().eol.empty()) lines.back().eol = eol;
    lines.push_back({"[" + section + "]", eol});
    lines.push_back({entry, eol});
  } else {
    size_t lastContent = header;
    bool replaced = false;
    for (size_t j = header + 1; j < lines.size() && !isSectionHeader(lines[j].text); ++j) {
      const std::string t = trim(lines[j].text);
      if (t.empty()) continue;
      lastContent = j;
      if (t[0] == ';') continue;
      const size_t eq = t.find('=');
      if (eq != std::string::npos && equalNoCase(trim(t.substr(0, eq)), key)) {
        lines[j].text = entry;
        replaced = true;
        break;
      }
    }
    if (!replaced) {
      if (lines[lastContent].eol.empty()) lines[lastContent].eol = eol;
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastContent) + 1, Line{entry, eol});
    }
  }

  std::string out;
  for (const Line& l : lines) out += l.text + l.eol;
  return out;
}

void writeIniValue(const fs::path& file, const std::string& shownPath, const std::string& section,
                   const std::string& key, const std::string& value) {
  const auto fail = [&] { return Error("Unable to write to " + shownPath); };
  std::error_code ec;
  std::string content;
  const bool exists = fs::exists(file, ec);
  if (exists) {
    // A read-only file is refused as the profile API refuses it, even where
    // the folder would let us replace it.
    if (!fs::is_regular_file(file, ec) || !os::probeReplaceable(file).ok()) throw fail();
    try {
      std::ifstream in(file, std::ios::binary);
      if (!in) throw fail();
      content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      if (in.bad()) throw fail();
    } catch (const std::exception&) {
      throw fail();
    }
  }
  const std::string updated = setIniValue(content, section, key, value);

  if (!os::writeReplacing(file, {updated}).ok()) throw fail();
}

}  // namespace pasarela::shell
