// The school's production indexes of horgrup and horprof after an import:
// rebuilt for the new records when every tag is on plain fields, left as
// they were when a tag is an expression, replaced together with the pair
// (or not at all), and kept in the backup.
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include "base/os/fault_injection.h"
#include "base/os/io_code.h"
#include "base/os/system.h"
#include "dbase/mdx.h"
#include "import/copy_back.h"
#include "import_fixture.h"
#include "oracles/tdbf_oracle.h"

namespace pasarela::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

constexpr std::uint8_t kLdid = 0x57;

class TimetableIndexTest : public ImportTest {
 protected:
  void SetUp() override {
    ImportTest::SetUp();
    if (IsSkipped()) return;
    if (!tdbfOracleAvailable()) GTEST_SKIP() << "fpc missing: no independent MDX writer";
    writeSmallSchool();
    std::vector<SolucRow> rows;
    for (int i = 0; i < 120; ++i)
      rows.push_back({1 + i % 5, 1 + i % 6, "A1", i % 3 ? "GPJ" : "AB", "ESO", "1", i % 2 ? "MAT" : "LEN",
                      std::string(1, static_cast<char>('A' + i % 4))});
    writeSoluc(rows);
    // The school's tables as a dBase IV program leaves them: a production
    // index on plain fields, written by TDbf, holding the old records' keys.
    makeIndexed("C:\\OB\\horgrup.dbf",
                "field CODGRUP C 5 0\nfield CODASIG C 8 0\nfield DNI N 10 0\nfield DIASEM N 2 0\n"
                "field NUMHORA N 2 0\nfield HORDIADES C 5 0\nfield HORDIAHAS C 5 0\nfield CODCEN N 8 0\n"
                "index CODGRUP\nindex DNI\n",
                {"1ESOZ", "OLDXX", "99", "1", "1", "07:00", "07:55", "46001"}, 40);
    makeIndexed("C:\\OB\\horprof.dbf",
                "field DNI N 10 0\nfield DIASEM N 2 0\nfield NUMHORA N 2 0\nfield HORAD C 5 0\n"
                "field HORAH C 5 0\nfield OCUPA C 5 0\nfield CODCEN N 8 0\nindex OCUPA\nindex DNI\n",
                {"99", "1", "1", "07:00", "07:55", "Z9", "46001"}, 40);
    for (const char* f : kFiles) before[f] = bytes(std::string("C:\\OB\\") + f);
  }

  void makeIndexed(const std::string& windowsPath, const std::string& fields,
                   const std::vector<std::string>& row, int rows) {
    const fs::path layout = root() / "layout.txt";
    {
      std::ofstream out(layout);
      out << "ldid " << int(kLdid) << "\n" << fields;
      for (int i = 0; i < rows; ++i) {
        out << "row";
        for (const std::string& v : row) out << " " << toHex(v);
        out << "\n";
      }
    }
    fs::remove(host(windowsPath));
    ASSERT_NO_THROW(runTdbfOracle({"create", host(windowsPath).string(), layout.string()}));
    ASSERT_TRUE(fs::exists(host(windowsPath.substr(0, windowsPath.size() - 4) + ".mdx")));
  }

  // Every entry of `tag` in the index, as our reader walks it, against the
  // key computed from the table read by python3-dbfread.
  void expectIndexMatches(const std::string& table, const std::string& tag, bool numeric, int width) {
    SCOPED_TRACE(table + " " + tag);
    const ReadBack rows = readBack("C:\\OB\\" + table + ".dbf");
    ASSERT_FALSE(rows.rows.empty());
    std::multiset<std::pair<std::string, std::uint32_t>> expected, ours;
    for (std::size_t i = 0; i < rows.rows.size(); ++i) {
      std::string value = rows.rows[i].at(tag);
      if (numeric)
        value = std::to_string(std::stoll(value.empty() ? "0" : value));
      else
        value.resize(static_cast<std::size_t>(width), ' ');
      expected.insert({value, static_cast<std::uint32_t>(i + 1)});
    }
    std::vector<dbase::MdxTag> tags = dbase::readMdx(host("C:\\OB\\" + table + ".mdx"), kLdid);
    auto it =
        std::find_if(tags.begin(), tags.end(), [&](const dbase::MdxTag& t) { return t.layout.name == tag; });
    ASSERT_NE(it, tags.end());
    for (const dbase::MdxEntry& e : it->entries) {
      ours.insert({numeric ? std::to_string(static_cast<long long>(dbase::decodeNumericKey(e.key))) : e.key,
                   e.recNo});
    }
    EXPECT_EQ(ours, expected);
    // TDbf walks the tag in key order over every record.
    const std::vector<std::string> order =
        runTdbfOracle({"iterate", host("C:\\OB\\" + table + ".dbf").string(), tag});
    ASSERT_EQ(order.size(), rows.rows.size());
    std::vector<std::string> walked;
    for (const std::string& recNo : order) {
      std::string value = rows.rows.at(static_cast<std::size_t>(std::stoul(recNo) - 1)).at(tag);
      walked.push_back(numeric ? std::string(12 - std::min<std::size_t>(12, value.size()), '0') + value
                               : value);
    }
    EXPECT_TRUE(std::is_sorted(walked.begin(), walked.end()));
  }

  void expectSchoolUnchanged() {
    for (const char* f : kFiles) EXPECT_EQ(bytes(std::string("C:\\OB\\") + f), before[f]) << f;
    for (auto& e : fs::directory_iterator(host("C:\\OB")))
      EXPECT_EQ(e.path().filename().string().find(".pasarela-"), std::string::npos) << e.path();
  }

  void prepareStaged() {
    runImport({.dryRun = true});
    ASSERT_EQ(report.outcome, ImportReport::Outcome::DryRun);
  }

  static constexpr const char* kFiles[] = {"horgrup.dbf", "horgrup.mdx", "horprof.dbf", "horprof.mdx"};
  std::map<std::string, std::string> before;
};

TEST_F(TimetableIndexTest, AnIndexOnPlainFieldsIsRebuiltForTheNewRecordsAndBackedUp) {
  runImport();
  ASSERT_EQ(report.outcome, ImportReport::Outcome::Completed);
  EXPECT_EQ(readBack("C:\\OB\\horgrup.dbf").rows.size(), 120u);
  expectIndexMatches("horgrup", "CODGRUP", false, 5);
  expectIndexMatches("horgrup", "DNI", true, 0);
  expectIndexMatches("horprof", "OCUPA", false, 5);
  expectIndexMatches("horprof", "DNI", true, 0);
  for (const char* f : kFiles)
    EXPECT_EQ(bytes(report.backupFolder + "\\" + f), before[f]) << "the backup holds the old " << f;
  EXPECT_EQ(runTdbfOracle({"tags", host("C:\\OB\\horgrup.dbf").string()}).size(), 3u) << "two tags and ldid";
}

// A tag on an expression the engine cannot compute: that index stays as it
// was (the user reorganises in the school-management program); the other
// table's index is still rebuilt.
TEST_F(TimetableIndexTest, AnIndexWithAnExpressionTagIsLeftAsItWas) {
  std::vector<dbase::MdxTag> tags = dbase::readMdx(host("C:\\OB\\horgrup.mdx"), kLdid);
  ASSERT_EQ(tags.size(), 2u);
  tags[0].layout.expression = "UPPER(CODGRUP)";
  dbase::writeMdx(host("C:\\OB\\horgrup.mdx"), "HORGRUP", kLdid, tags);
  before["horgrup.mdx"] = bytes("C:\\OB\\horgrup.mdx");
  runImport();
  ASSERT_EQ(report.outcome, ImportReport::Outcome::Completed);
  EXPECT_EQ(bytes("C:\\OB\\horgrup.mdx"), before["horgrup.mdx"]);
  EXPECT_NE(bytes("C:\\OB\\horgrup.dbf"), before["horgrup.dbf"]);
  expectIndexMatches("horprof", "OCUPA", false, 5);
}

// A tag with a FOR condition holds only some records: rebuilt over all of
// them it would be wrong, so that index stays as it was too.
TEST_F(TimetableIndexTest, AnIndexWithAConditionalTagIsLeftAsItWas) {
  std::string mdx = bytes("C:\\OB\\horgrup.mdx");
  const std::size_t tagHeader = 512 * (static_cast<unsigned char>(mdx[544]) |
                                       static_cast<std::size_t>(static_cast<unsigned char>(mdx[545])) << 8);
  ASSERT_LT(tagHeader + 800, mdx.size());
  mdx[tagHeader + 245] = 1;
  const std::string condition = "DIASEM>0";
  mdx.replace(tagHeader + 762, condition.size(), condition);
  std::ofstream(host("C:\\OB\\horgrup.mdx"), std::ios::binary | std::ios::trunc) << mdx;
  ASSERT_TRUE(dbase::readMdx(host("C:\\OB\\horgrup.mdx"), kLdid)[0].layout.condition);
  before["horgrup.mdx"] = mdx;
  runImport();
  ASSERT_EQ(report.outcome, ImportReport::Outcome::Completed);
  EXPECT_EQ(bytes("C:\\OB\\horgrup.mdx"), mdx);
  expectIndexMatches("horprof", "OCUPA", false, 5);
}

// A school's index the engine cannot read is the school's matter: the
// import goes on and leaves it.
TEST_F(TimetableIndexTest, ADamagedIndexIsLeftAsItWas) {
  std::ofstream(host("C:\\OB\\horgrup.mdx"), std::ios::binary | std::ios::trunc) << "not an index";
  runImport();
  ASSERT_EQ(report.outcome, ImportReport::Outcome::Completed);
  EXPECT_EQ(bytes("C:\\OB\\horgrup.mdx"), "not an index");
  EXPECT_EQ(bytes(report.backupFolder + "\\horgrup.mdx"), "not an index");
}

// The rebuilt index cannot be written: nothing of the school changes.
TEST_F(TimetableIndexTest, AFailureWritingTheIndexLeavesEverySchoolFileAsItWas) {
  prepareStaged();
  // A folder where the index's temporary file of this process would go.
  const fs::path blocker = host("C:\\OB") / ("horprof.pasarela-nuevo-mdx-" + std::to_string(os::processId()));
  fs::create_directories(blocker / "inside");
  try {
    CopiarHorariosAlOrigen("C:\\OB");
    FAIL() << "the copy back should have failed";
  } catch (const Error& e) {
    EXPECT_THAT(std::string(e.what()), HasSubstr("C:\\OB\\horprof.pasarela-nuevo-mdx-"));
    EXPECT_THAT(std::string(e.what()), HasSubstr("no se han modificado"));
  }
  fs::remove_all(blocker);
  expectSchoolUnchanged();
}

// The last rename (horprof's index) fails: the three files already
// replaced are put back.
TEST_F(TimetableIndexTest, TheIndexesAreReplacedWithThePairOrNotAtAll) {
  prepareStaged();
  // The renames over the school's four files, in order, up to the refused one.
  std::vector<std::string> asked;
  bool refused = false;
  {
    os::testing::ScopedFaultHook fault([&](os::testing::Call call, const fs::path& path) {
      const std::string name = path.filename().string();
      if (refused || call != os::testing::Call::Replace) return 0;
      if (name != "horgrup.dbf" && name != "horgrup.mdx" && name != "horprof.dbf" && name != "horprof.mdx")
        return 0;
      asked.push_back(name);
      refused = name == "horprof.mdx";
      return refused ? os::kErrorAccessDenied : 0;
    });
    EXPECT_THROW(CopiarHorariosAlOrigen("C:\\OB"), Error);
  }
  EXPECT_THAT(asked, ::testing::ElementsAre("horgrup.dbf", "horgrup.mdx", "horprof.dbf", "horprof.mdx"));
  expectSchoolUnchanged();
}

// Killed after horgrup.dbf, its index and horprof.dbf were renamed: the
// next start undoes all three from the journal.
TEST_F(TimetableIndexTest, AKillBeforeTheLastIndexIsRenamedIsUndoneAtTheNextStart) {
  prepareStaged();
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    os::testing::setFaultHook([](os::testing::Call call, const fs::path& path) {
      if (call == os::testing::Call::Replace && path.filename() == "horprof.mdx") ::_exit(9);
      return 0;
    });
    try {
      CopiarHorariosAlOrigen("C:\\OB");
    } catch (...) {
    }
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 9);
  ASSERT_NE(bytes("C:\\OB\\horgrup.mdx"), before["horgrup.mdx"]) << "renamed before the kill";
  EXPECT_TRUE(RecuperarCopiaInterrumpida("C:\\OB"));
  expectSchoolUnchanged();
}

}  // namespace
}  // namespace pasarela::test
