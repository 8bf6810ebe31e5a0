// --lang: the two names of the window's box, in any case, with or without
// the accent; the export then takes the subject names in that language.
#include <gtest/gtest.h>

#include "cli/language.h"
#include "cli/options.h"
#include "cli_fixture.h"

namespace pasarela::test {
namespace {

TEST(LanguageTest, AcceptsBothNamesWhateverTheCaseAndAccent) {
  for (const char* text :
       {"valencià", "VALENCIÀ", "valenciá", "VALENCIÁ", "valencia", "VALENCIA", "Valencia"})
    EXPECT_EQ(cli::languageFromCommandLine(text), "VALENCIÁ") << text;
  for (const char* text : {"castellano", "CASTELLANO", "Castellano"})
    EXPECT_EQ(cli::languageFromCommandLine(text), "CASTELLANO") << text;
}

TEST(LanguageTest, RefusesAnythingElse) {
  for (const char* text : {"", "valenciano", "castella", "inglés", "VALENCIÃ", " castellano", "castellano "})
    EXPECT_THROW(cli::languageFromCommandLine(text), cli::UsageError) << text;
}

// Subject names in ASIGVALT.DBF against the school's own asignat.dbf, both
// read with dbfread: Castilian is Cliteasig, Valencian Vliteasig. Prints C
// when every exported name is a Castilian one, V when a Valencian one.
class ExportLanguageTest : public CliTest {
 protected:
  std::string exportedLanguage(const std::string& lang) {
    const ProgramResult r = pasarela({"export", "--lang", lang});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return python(
        "import dbfread,sys\n"
        "school = list(dbfread.DBF(sys.argv[2]))\n"
        "names = lambda f: set(r[f].strip()[:40].strip() for r in school)\n"
        "out = set(r['NOMBRE'].strip() for r in dbfread.DBF(sys.argv[1]))\n"
        "assert out\n"
        "print(('C' if out <= names('CLITEASIG') else '') + ('V' if out <= names('VLITEASIG') else ''))",
        {host("KTEMP/ASIGVALT.DBF").string(), host("OB/asignat.dbf").string()});
  }
};

TEST_F(ExportLanguageTest, CastilianAndValencianNames) {
  ASSERT_EQ(pasarela({"sample", "C:\\OB"}).exitCode, 0);
  EXPECT_EQ(exportedLanguage("castellano"), "C\n");
  EXPECT_EQ(exportedLanguage("VALENCIA"), "V\n");
  EXPECT_EQ(exportedLanguage("Castellano"), "C\n");
  EXPECT_EQ(exportedLanguage("valencià"), "V\n");
}

}  // namespace
}  // namespace pasarela::test
