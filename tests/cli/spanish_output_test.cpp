// Every text the program prints is Spanish: each command's normal and error
// paths, with their reports in every format, checked against English words
// that once appeared in them or that the C library would write.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "cli_fixture.h"

namespace pasarela::test {
namespace {

// Lower-case words of the text, leaving out option names (--dry-run) and the
// command names, which are the program's interface rather than its texts.
std::set<std::string> englishWordsIn(const std::string& text) {
  static const std::set<std::string> kEnglish = {
      "usage",   "records",  "record",   "rows",     "written",    "dry",           "lessons",
      "placed",  "unplaced", "teacher",  "teachers", "nothing",    "replaced",      "previous",
      "kept",    "missing",  "invalid",  "unknown",  "argument",   "option",        "options",
      "file",    "folder",   "such",     "denied",   "permission", "the",           "and",
      "not",     "with",     "found",    "is",       "of",         "empty",         "command",
      "value",   "expected", "required", "error:",   "table",      "abbreviations", "subjects",
      "without", "run",      "number"};
  std::set<std::string> found;
  std::string word;
  bool option = false;  // inside "--name"
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const unsigned char c = i < text.size() ? static_cast<unsigned char>(text[i]) : ' ';
    if (c == '-' && i + 1 < text.size() && text[i + 1] == '-') option = true;
    if (std::isalpha(c) || c >= 0x80) {
      word += static_cast<char>(std::tolower(c));
    } else if (!(option && c == '-')) {
      if (!option && kEnglish.count(word)) found.insert(word);
      word.clear();
      option = false;
    }
  }
  return found;
}

TEST(EnglishWordsTest, TheCheckFindsWhatOnceWasPrinted) {
  EXPECT_EQ(englishWordsIn("rows written: 3 in horprof.dbf"), (std::set<std::string>{"rows", "written"}));
  EXPECT_EQ(englishWordsIn("No such file or directory"), (std::set<std::string>{"such", "file"}));
  EXPECT_TRUE(englishWordsIn("filas escritas: 3; use --dry-run o --without-dni").empty());
}

class SpanishOutputTest : public CliTest {
 protected:
  // Runs one command line and checks both streams.
  void check(const std::vector<std::string>& args, int expectedExit) {
    std::string line;
    for (const std::string& a : args) line += a + " ";
    SCOPED_TRACE(line);
    const ProgramResult r = pasarela(args);
    EXPECT_EQ(r.exitCode, expectedExit) << r.out << r.err;
    EXPECT_FALSE(r.out.empty() && r.err.empty()) << "nothing printed";
    for (const std::string* text : {&r.out, &r.err}) {
      const std::set<std::string> english = englishWordsIn(*text);
      EXPECT_TRUE(english.empty()) << *english.begin() << " in:\n" << *text;
    }
  }
};

TEST_F(SpanishOutputTest, HelpOfEveryCommand) {
  check({"--help"}, 0);
  check({"--version"}, 0);
  for (const char* command : {"sample", "export", "solve", "import", "dump"}) check({command, "--help"}, 0);
}

TEST_F(SpanishOutputTest, NormalPathsInEveryFormat) {
  check({"sample", "C:\\OB", "--without-dni", "0"}, 0);
  check({"sample", "C:\\OTRO", "--format", "csv"}, 0);
  check({"sample", "C:\\TERCERO", "--format", "json"}, 0);
  check({"export"}, 0);
  check({"export", "--lang", "castellano", "--format", "csv"}, 0);
  check({"export", "--format", "json"}, 0);
  check({"solve"}, 0);
  check({"solve", "--force", "--format", "csv"}, 0);
  check({"solve", "--force", "--format", "json"}, 0);
  check({"import", "--dry-run"}, 0);
  check({"import", "--dry-run", "--format", "csv"}, 0);
  check({"import", "--dry-run", "--format", "json"}, 0);
  check({"import"}, 0);
  check({"dump", "C:\\OB\\horgrup.dbf", "--header"}, 0);
  check({"dump", "C:\\KTEMP\\PROFT.DBF"}, 0);
}

TEST_F(SpanishOutputTest, ErrorPaths) {
  // Usage mistakes.
  check({}, 2);
  check({"nada"}, 2);
  check({"sample"}, 2);
  check({"sample", "C:\\OB", "--scale", "x"}, 2);
  check({"export", "--lang", "english"}, 2);
  check({"solve", "--seed", "-1"}, 2);
  check({"import", "--centre"}, 2);
  check({"dump", "C:\\X.DBF", "--format", "xml"}, 2);
  // Failed runs, on a drive with nothing on it.
  check({"dump", "C:\\KTEMP\\NOEXISTE.DBF"}, 1);
  check({"dump", "C:\\KTEMP\\NOEXISTE.DBF", "--header"}, 1);
  check({"export"}, 1);
  check({"export", "--source", "C:\\KTEMP\\VAVOVIDI"}, 1);
  check({"import"}, 1);
  check({"solve"}, 1);
  // A school without a solution, then a solution not to be overwritten.
  check({"sample", "C:\\OB"}, 0);
  check({"sample", "C:\\OB"}, 1);
  check({"export"}, 0);
  check({"import"}, 1);
  check({"solve"}, 0);
  check({"solve"}, 1);
  // A table the program cannot read.
  put("OB/roto.dbf", std::string(40, 'x'));
  check({"dump", "C:\\OB\\roto.dbf"}, 1);
  // A school whose teachers lack an identity number: the import stops.
  check({"sample", "C:\\SINDNI", "--without-dni", "2"}, 0);
  check({"export", "--source", "C:\\SINDNI"}, 0);
  check({"solve", "--force"}, 0);
  check({"import", "--source", "C:\\SINDNI"}, 1);
}

// The operating system's reasons come in the system's Spanish messages, not
// in the C library's words: a folder is no table file.
TEST_F(CliTest, OperatingSystemReasonsInSpanish) {
  put("KTEMP/CARPETA.DBF/dentro.txt", "");
  const ProgramResult r = pasarela({"dump", "C:\\KTEMP\\CARPETA.DBF"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("No se encuentra el archivo 'C:\\KTEMP\\CARPETA.DBF'"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("directory"), std::string::npos) << r.err;
}

TEST_F(CliTest, MissingSourceFolderIsNamed) {
  for (const char* command : {"export", "import"}) {
    const ProgramResult r = pasarela({command, "--source", "C:\\NADA"});
    EXPECT_EQ(r.exitCode, 1) << command;
    EXPECT_NE(r.err.find("No se encuentra la carpeta de origen C:\\NADA"), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace pasarela::test
