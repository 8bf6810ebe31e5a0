// Course codes with letters beyond ASCII ("1EÑO", "2ESÒ" in the tables'
// Windows-1252) through the whole job: export, the stand-in generator,
// import. Every group code the import writes must be one of the school's
// groups as python3-dbfread reads grupos.dbf: a code cut inside a character
// ("1EÑ" and half of the "Ñ") names no group.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "import_fixture.h"
#include "support/process.h"
#include "support/readers.h"

namespace pasarela::test {
namespace {

const std::string kPasarela = builtProgram(std::string(PASARELA_BINARY_DIR) + "/src/pasarela").string();
const std::string kTool = std::string(PASARELA_SOURCE_DIR) + "/tests/import/dbf_tool.py";

class MultibyteCodesTest : public ImportTest {
 protected:
  void run(std::vector<std::string> args) {
    args.insert(args.begin(), kPasarela);
    int status = -1;
    const std::string out = runCommand(args, &status);
    ASSERT_EQ(status, 0) << args[1] << ": " << out;
  }
};

TEST_F(MultibyteCodesTest, GroupCodesWithEnyeAndGraveAccentSurviveExportSolveAndImport) {
  run({"sample", "C:\\OB"});
  int status = -1;
  const std::string out = runCommand(
      {kPython, kTool, "recode", host("C:\\OB").string(), "cp1252", "1ESO", "1EÑO", "2ESO", "2ESÒ"}, &status);
  ASSERT_EQ(status, 0) << out;
  run({"export"});
  run({"solve", "--seed", "7"});
  run({"import"});

  // The school's groups and their courses, read independently.
  std::set<std::string> groups;
  std::vector<std::pair<std::string, std::string>> courseAndGroup;
  for (auto& g : readBack("C:\\OB\\grupos.dbf").rows) {
    groups.insert(g["CODGRUP"]);
    courseAndGroup.emplace_back(g["CODCUR"], g["CODGRUP"]);
  }
  ASSERT_TRUE(groups.count("1EÑOA")) << "the recoded school has its groups";
  ASSERT_TRUE(groups.count("2ESÒA"));

  auto soluc = readBack("C:\\KTEMP\\SOLUC.DBF");
  auto grup = readBack("C:\\OB\\horgrup.dbf");
  std::size_t k = 0, enye = 0, grave = 0;
  for (auto& s : soluc.rows) {
    if (s["DIA"] == "0") continue;
    ASSERT_LT(k, grup.rows.size());
    auto& g = grup.rows[k++];
    SCOPED_TRACE(g["CODASIG"] + " " + s["GRUPO"]);
    // The group of the row: the school's group of the subject's course
    // (its code begins with the course) and the solution's letter.
    std::string expected = "(ninguno)";
    for (auto& [course, group] : courseAndGroup) {
      if (!course.empty() && g["CODASIG"].rfind(course, 0) == 0 && group == course + s["GRUPO"])
        expected = group;
    }
    EXPECT_EQ(g["CODGRUP"], expected);
    EXPECT_TRUE(groups.count(g["CODGRUP"]));
    enye += g["CODGRUP"].rfind("1EÑO", 0) == 0;
    grave += g["CODGRUP"].rfind("2ESÒ", 0) == 0;
  }
  EXPECT_EQ(k, grup.rows.size());
  EXPECT_GT(enye, 0u);
  EXPECT_GT(grave, 0u);
}

}  // namespace
}  // namespace pasarela::test
