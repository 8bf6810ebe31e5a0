// Damaged index files: a clear error naming the file, never a crash, a read
// outside the file or an endless walk.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "base/error.h"
#include "dbase/mdx.h"
#include "mdx_test_util.h"

using namespace pasarela::dbase;
using namespace pasarela::test;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void spit(const std::filesystem::path& p, const Bytes& d) {
  std::ofstream(p, std::ios::binary)
      .write(reinterpret_cast<const char*>(d.data()), static_cast<std::streamsize>(d.size()));
}
void put32(Bytes& d, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) d.at(at + i) = static_cast<unsigned char>(v >> (8 * i));
}
std::uint32_t get32(const Bytes& d, std::size_t at) {
  return d.at(at) | d.at(at + 1) << 8 | d.at(at + 2) << 16 | std::uint32_t(d.at(at + 3)) << 24;
}

class DamagedIndex : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::string> keys;
    for (int i = 0; i < 400; ++i) keys.push_back(padded("K" + std::to_string(i % 97), 40));
    writeMdx(dir_ / "GOOD.MDX", "GOOD", 0x57,
             {sortedTag({"NOMBRE", "NOMBRE", KeyType::Character, 40}, keys, 0x57)});
    good_ = slurp(dir_ / "GOOD.MDX");
    tagHeader_ = std::size_t(get32(good_, 544)) * 512;
    root_ = std::size_t(get32(good_, tagHeader_)) * 512;
  }

  // Reading the damaged copy fails with an error that names it.
  void expectRejected(const Bytes& damaged, const std::string& why) {
    const auto file = dir_ / "BAD.MDX";
    spit(file, damaged);
    try {
      readMdx(file, 0x57);
      ADD_FAILURE() << "accepted: " << why;
    } catch (const pasarela::Error& e) {
      EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
    }
  }

  ScratchDir dir_;
  Bytes good_;
  std::size_t tagHeader_ = 0, root_ = 0;
};

TEST_F(DamagedIndex, TheUndamagedFileReads) {
  EXPECT_EQ(readMdx(dir_ / "GOOD.MDX", 0x57).at(0).entries.size(), 400u);
}

TEST_F(DamagedIndex, MissingFileIsNamed) {
  try {
    readMdx(dir_ / "NONE.MDX", 0x57);
    FAIL();
  } catch (const pasarela::Error& e) {
    EXPECT_NE(std::string(e.what()).find("NONE.MDX"), std::string::npos);
  }
}

TEST_F(DamagedIndex, AFolderIsNoIndex) {
  std::filesystem::create_directory(dir_ / "DIR.MDX");
  EXPECT_THROW(readMdx(dir_ / "DIR.MDX", 0x57), pasarela::Error);
}

TEST_F(DamagedIndex, HeaderDamage) {
  expectRejected(Bytes(good_.begin(), good_.begin() + 1000), "shorter than its header");
  expectRejected(Bytes(), "empty");
  Bytes d = good_;
  d[0] = 0x47;
  expectRejected(d, "unknown version");
  d = good_;
  d[28] = 200;
  expectRejected(d, "more tags than the table holds");
  d = good_;
  d[20] = 0;
  expectRejected(d, "no block size");
}

TEST_F(DamagedIndex, TagHeaderDamage) {
  Bytes d = good_;
  put32(d, 544, 99999);
  expectRejected(d, "tag header past the end");
  d = good_;
  put32(d, 544, 1);
  expectRejected(d, "tag header inside the file header");
  d = good_;
  d[tagHeader_ + 12] = 0;
  d[tagHeader_ + 13] = 0;
  expectRejected(d, "key length 0");
  d = good_;
  d[tagHeader_ + 18] = 8;
  expectRejected(d, "item shorter than the key");
  d = good_;
  d[tagHeader_ + 9] = 'X';
  expectRejected(d, "unknown key type");
  d = good_;
  Bytes truncated(good_.begin(), good_.begin() + static_cast<long>(root_ + 600));
  expectRejected(truncated, "root block cut short");
}

TEST_F(DamagedIndex, TreeDamage) {
  Bytes d = good_;
  put32(d, root_, 5000);
  expectRejected(d, "impossible key count");
  // A child pointing back at the root: the walk must stop.
  d = good_;
  put32(d, root_ + 8, static_cast<std::uint32_t>(root_ / 512));
  expectRejected(d, "cycle through the root");
  // A leaf entry without a record number (records count from 1).
  d = good_;
  std::size_t leaf = std::size_t(get32(d, root_ + 8)) * 512;
  while (get32(d, leaf + 8 + get32(d, leaf) * 44) != 0) leaf = std::size_t(get32(d, leaf + 8)) * 512;
  put32(d, leaf + 8, 0);
  expectRejected(d, "record number 0");
  // Two parents sharing one child.
  d = good_;
  put32(d, root_ + 8, get32(d, root_ + 8 + 44));
  expectRejected(d, "shared child");
}

// Random damage anywhere: either a result or pasarela::Error, nothing else
// (run under the sanitizers this also proves no read falls outside the file).
TEST_F(DamagedIndex, RandomDamageNeverCrashes) {
  std::mt19937 rng(2024);
  int rejected = 0;
  for (int round = 0; round < 1500; ++round) {
    Bytes d = good_;
    const int hits = 1 + static_cast<int>(rng() % 8);
    for (int h = 0; h < hits; ++h) {
      // Aim most hits at the headers and the root, where damage matters.
      const std::size_t zone = rng() % 3;
      const std::size_t at = zone == 0 ? rng() % 64 : zone == 1 ? tagHeader_ + rng() % 32 : rng() % d.size();
      d[at] = static_cast<unsigned char>(rng());
    }
    if (rng() % 10 == 0) d.resize(rng() % d.size());
    spit(dir_ / "FUZZ.MDX", d);
    try {
      readMdx(dir_ / "FUZZ.MDX", 0x58);
    } catch (const pasarela::Error&) {
      ++rejected;
    }
  }
  EXPECT_GT(rejected, 0);
}

}  // namespace
