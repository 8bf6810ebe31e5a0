// `pasarela dump` over a corpus of damaged tables and indexes (the fuzz
// seeds and mutants of an indexed table): every run ends, with the table or
// a Spanish error, and leaves every file byte for byte and mode for mode as
// it was, read-only files included.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "cli_fixture.h"

namespace pasarela::test {
namespace {

namespace fs = std::filesystem;

const fs::path kSeeds = fs::path(PASARELA_SOURCE_DIR) / "fuzz" / "corpus_dbf";
const std::string kIndexMarker = "\n--MDX--\n";

class DumpDamagedTest : public CliTest {
 protected:
  // One damaged table in its own folder: F.DBF and, when the input carries
  // one, its F.MDX.
  void addCase(const std::string& name, const std::string& input, bool readOnly) {
    const std::string folder = "CORPUS/" + name;
    const std::size_t marker = input.find(kIndexMarker);
    put(folder + "/F.DBF", input.substr(0, marker));
    if (marker != std::string::npos) put(folder + "/F.MDX", input.substr(marker + kIndexMarker.size()));
    if (readOnly) {
      for (auto& e : fs::directory_iterator(host(folder)))
        fs::permissions(e.path(), fs::perms::owner_read | fs::perms::group_read);
    }
    cases_.push_back(name);
  }
  static std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::vector<std::string> cases_;
};

TEST_F(DumpDamagedTest, DumpEndsAndChangesNoFileOfADamagedCorpus) {
  std::string indexed;
  bool readOnly = false;
  for (auto& e : fs::directory_iterator(kSeeds)) {
    const std::string input = slurp(e.path());
    if (e.path().filename() == "indexed.bin") indexed = input;
    addCase(e.path().stem().string(), input, readOnly = !readOnly);
  }
  ASSERT_FALSE(indexed.empty());
  // Mutants of the indexed table: bytes of the table's header, its records
  // and the index (header, tag header, nodes) overwritten.
  std::mt19937 random(20261209);
  for (int i = 0; i < 30; ++i) {
    std::string mutant = indexed;
    for (int n = 0; n < 1 + i % 4; ++n) {
      const std::size_t at = random() % mutant.size();
      mutant[at] = static_cast<char>(random() % 256);
    }
    addCase("mutant" + std::to_string(i), mutant, i % 3 == 0);
  }

  // Every file with its bytes and mode before any run.
  std::map<fs::path, std::pair<std::string, fs::perms>> before;
  for (auto& e : fs::recursive_directory_iterator(host("CORPUS")))
    if (e.is_regular_file()) before[e.path()] = {slurp(e.path()), e.status().permissions()};

  for (const std::string& name : cases_) {
    SCOPED_TRACE(name);
    const std::string table = "C:\\CORPUS\\" + name + "\\F.DBF";
    for (std::vector<std::string> args : {std::vector<std::string>{"dump", table},
                                          {"dump", table, "--index", "COD"},
                                          {"dump", table, "--format", "json"}}) {
      args.insert(args.begin(), {"60", PASARELA_PROGRAM});
      const ProgramResult r = runProgram("timeout", args);
      EXPECT_TRUE(r.exitCode == 0 || r.exitCode == 1) << "exit " << r.exitCode << ": " << r.err;
      if (r.exitCode == 1) {
        EXPECT_NE(r.err.find("F.DBF"), std::string::npos) << r.err;
      }
    }
  }
  for (auto& [file, was] : before) {
    EXPECT_EQ(slurp(file), was.first) << file;
    EXPECT_EQ(fs::status(file).permissions(), was.second) << file;
  }
  std::size_t files = 0;
  for (auto& e : fs::recursive_directory_iterator(host("CORPUS"))) files += e.is_regular_file();
  EXPECT_EQ(files, before.size()) << "a run left a file behind";
}

}  // namespace
}  // namespace pasarela::test
