// Our writer's files read back by our reader, and the layout rules other
// dBase readers depend on, checked on the bytes.
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

std::vector<unsigned char> slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t u32(const std::vector<unsigned char>& d, std::size_t at) {
  return d.at(at) | d.at(at + 1) << 8 | d.at(at + 2) << 16 | std::uint32_t(d.at(at + 3)) << 24;
}
std::uint16_t u16(const std::vector<unsigned char>& d, std::size_t at) {
  return static_cast<std::uint16_t>(d.at(at) | d.at(at + 1) << 8);
}

// Walks one tag's tree the way TDbf does (a node is interior when the
// pointer after its last item is set and it holds fewer than the maximum
// keys) and checks what that reading needs. Returns the tree's depth.
struct TreeCheck {
  const std::vector<unsigned char>& d;
  std::size_t keyLength, itemLength, maxKeys;
  std::vector<std::string> keysInOrder;

  int walk(std::uint32_t page, std::string* lastKey) {
    const std::size_t at = std::size_t(page) * 512;
    const std::uint32_t n = u32(d, at);
    EXPECT_LE(n, maxKeys);
    const std::size_t end = at + 8 + n * itemLength;
    const std::uint32_t after = end + 4 <= at + 1024 ? u32(d, end) : 0;
    if (after == 0 || n >= maxKeys) {
      for (std::size_t i = end; i < at + 1024; ++i)
        EXPECT_EQ(d[i], 0) << "leaf tail not zero at page " << page;
      for (std::uint32_t i = 0; i < n; ++i)
        keysInOrder.emplace_back(reinterpret_cast<const char*>(&d[at + 8 + i * itemLength + 4]), keyLength);
      if (lastKey && n) *lastKey = keysInOrder.back();
      return 1;
    }
    EXPECT_LE(n, maxKeys - 1) << "interior node TDbf would take for a leaf";
    EXPECT_GE(n, 1u);
    int depth = -1;
    for (std::uint32_t i = 0; i <= n; ++i) {
      const std::size_t item = at + 8 + i * itemLength;
      std::string childLast;
      const int dd = walk(u32(d, item), &childLast);
      if (depth >= 0) {
        EXPECT_EQ(dd, depth) << "leaves at different depths";
      }
      depth = dd;
      if (i < n) {
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&d[item + 4]), keyLength), childLast)
            << "interior key is not the last key of its child";
      } else if (lastKey) {
        *lastKey = childLast;
      }
    }
    return depth + 1;
  }
};

TEST(MdxWriter, HeaderAndTagTableFollowTheDbaseLayout) {
  ScratchDir dir;
  MdxTag cod = sortedTag({"COD", "COD", KeyType::Character, 6}, {padded("B", 6), padded("A", 6)}, 0x58);
  MdxTag num = sortedTag({"NHORAS", "NHORAS", KeyType::Numeric, 12}, {encodeNumericKey(3)}, 0x58);
  writeMdx(dir / "ASIGT.MDX", "asigt", 0x58, {cod, num});
  const auto d = slurp(dir / "ASIGT.MDX");
  ASSERT_EQ(d.size() % 512, 0u);
  EXPECT_EQ(d[0], 2);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&d[4])), "ASIGT");
  EXPECT_EQ(u16(d, 20), 2);
  EXPECT_EQ(u16(d, 22), 1024);
  EXPECT_EQ(d[24], 1);
  EXPECT_EQ(d[26], 32);
  EXPECT_EQ(u16(d, 28), 2);
  EXPECT_EQ(d[31], 0x58);
  EXPECT_EQ(u32(d, 32), d.size() / 512);
  EXPECT_EQ(u32(d, 36), 0u);
  for (int t = 0; t < 2; ++t) {
    const std::size_t e = 544 + 32 * t;
    const std::uint32_t headerPage = u32(d, e);
    EXPECT_GE(headerPage, 4u);
    EXPECT_EQ(d[e + 15], 0x10);
    EXPECT_EQ(d[e + 19], 0x02);
    const std::size_t h = headerPage * 512;
    EXPECT_EQ(d[e + 20], d[h + 9]);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&d[e + 4])), t == 0 ? "COD" : "NHORAS");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&d[h + 24])), t == 0 ? "COD" : "NHORAS");
    EXPECT_EQ(u16(d, h + 18), t == 0 ? 12 : 16);
    EXPECT_EQ(d[h + 246], 1);
  }
}

TEST(MdxWriter, BuildsSeveralLevelsWithinTheLimitsReadersAssume) {
  ScratchDir dir;
  std::mt19937 rng(11);
  std::vector<std::string> keys;
  for (int i = 0; i < 2600; ++i) keys.push_back(padded("K" + std::to_string(rng() % 900), 60));
  const MdxTag tag = sortedTag({"NOMBRE", "NOMBRE", KeyType::Character, 60}, keys, 0x57);
  writeMdx(dir / "T.MDX", "T", 0x57, {tag});
  const auto d = slurp(dir / "T.MDX");
  const std::size_t h = u32(d, 544) * 512;
  TreeCheck check{d, 60, u16(d, h + 18), u16(d, h + 14), {}};
  EXPECT_GE(check.walk(u32(d, h), nullptr), 3);
  std::vector<std::string> want;
  for (const auto& e : tag.entries) want.push_back(e.key);
  EXPECT_EQ(check.keysInOrder, want);

  const auto back = readMdx(dir / "T.MDX", 0x57);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].layout.name, "NOMBRE");
  EXPECT_EQ(back[0].layout.keyLength, 60);
  EXPECT_EQ(recordOrder(back[0]), recordOrder(tag));
}

TEST(MdxWriter, ReadsBackEveryKindOfTag) {
  ScratchDir dir;
  std::vector<std::string> names, numbers;
  for (int i = 0; i < 3000; ++i) {
    names.push_back(padded(i % 7 == 0 ? "" : "N" + std::to_string(i % 250) + "\xE1", 20));
    numbers.push_back(encodeNumericKey((i % 401) * 0.25 - 50));
  }
  const std::vector<MdxTag> tags = {
      sortedTag({"NOMBRE", "NOMBRE", KeyType::Character, 20}, names, 0x58),
      sortedTag({"NOTA", "NOTA", KeyType::Numeric, 12}, numbers, 0x58),
      sortedTag({"NOMDESC", "NOMBRE", KeyType::Character, 20, true, false}, names, 0x58),
      sortedTag({"VACIA", "VACIA", KeyType::Character, 4}, {}, 0x58),
  };
  writeMdx(dir / "A.MDX", "A", 0x58, tags);
  const auto back = readMdx(dir / "A.MDX", 0x58);
  ASSERT_EQ(back.size(), tags.size());
  for (std::size_t t = 0; t < tags.size(); ++t) {
    EXPECT_EQ(back[t].layout.name, tags[t].layout.name);
    EXPECT_EQ(back[t].layout.expression, tags[t].layout.expression);
    EXPECT_EQ(back[t].layout.type, tags[t].layout.type);
    EXPECT_EQ(back[t].layout.keyLength, tags[t].layout.keyLength);
    EXPECT_EQ(back[t].layout.descending, tags[t].layout.descending);
    ASSERT_EQ(back[t].entries.size(), tags[t].entries.size());
    for (std::size_t i = 0; i < tags[t].entries.size(); ++i) {
      EXPECT_EQ(back[t].entries[i].key, tags[t].entries[i].key);
      EXPECT_EQ(back[t].entries[i].recNo, tags[t].entries[i].recNo);
    }
  }
}

TEST(MdxWriter, ReplacesAnOlderIndexWhole) {
  ScratchDir dir;
  std::vector<std::string> many(5000, padded("X", 30));
  writeMdx(dir / "R.MDX", "R", 0x57, {sortedTag({"A", "A", KeyType::Character, 30}, many, 0x57)});
  writeMdx(dir / "R.MDX", "R", 0x57, {sortedTag({"B", "B", KeyType::Character, 5}, {padded("Z", 5)}, 0x57)});
  const auto back = readMdx(dir / "R.MDX", 0x57);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].layout.name, "B");
  EXPECT_EQ(back[0].entries.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(dir / "R.MDX.tmp"));
}

// Entries handed over out of order (or with repeated keys in a unique tag)
// still give an index in the order its flags announce.
TEST(MdxWriter, PutsCarelessEntriesInIndexOrder) {
  ScratchDir dir;
  const std::vector<std::string> keys = {padded("B", 3), padded("A", 3), padded("C", 3), padded("B", 3),
                                         padded("\xC1", 3)};
  MdxTag desc{{"DESC", "COD", KeyType::Character, 3, true, false}, {}};
  MdxTag unique{{"UNICO", "COD", KeyType::Character, 3, false, true}, {}};
  for (std::uint32_t r : {4u, 2u, 5u, 1u, 3u}) {
    desc.entries.push_back({keys[r - 1], r});
    unique.entries.push_back({keys[r - 1], r});
  }
  writeMdx(dir / "C.MDX", "C", 0x58, {desc, unique});
  const auto d = slurp(dir / "C.MDX");
  const std::size_t h = u32(d, 544) * 512;
  TreeCheck check{d, 3, u16(d, h + 18), u16(d, h + 14), {}};
  check.walk(u32(d, h), nullptr);
  EXPECT_EQ(check.keysInOrder, (std::vector<std::string>{keys[2], keys[0], keys[0], keys[4], keys[1]}));
  const auto back = readMdx(dir / "C.MDX", 0x58);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(recordOrder(back[0]), (std::vector<std::uint32_t>{3, 1, 4, 5, 2}));
  EXPECT_EQ(recordOrder(back[1]), (std::vector<std::uint32_t>{2, 5, 1, 3}));
}

TEST(MdxWriter, RefusesTagsItCannotWrite) {
  ScratchDir dir;
  auto write = [&](MdxTagLayout layout, std::vector<std::string> keys) {
    writeMdx(dir / "W.MDX", "W", 0x57, {sortedTag(layout, keys, 0x57)});
  };
  EXPECT_THROW(write({"LARGO", "LARGO", KeyType::Character, 101}, {}), pasarela::Error);
  EXPECT_THROW(write({"CERO", "CERO", KeyType::Character, 0}, {}), pasarela::Error);
  EXPECT_THROW(write({"NUM", "NUM", KeyType::Numeric, 10}, {}), pasarela::Error);
  EXPECT_THROW(write({"NOMBREDEMASIADOLARGO", "X", KeyType::Character, 4}, {}), pasarela::Error);
  EXPECT_THROW(write({"MAL", "MAL", KeyType::Character, 4}, {"abc"}), pasarela::Error);
  // A FOR condition would be lost: the tag would hold records it leaves out.
  EXPECT_THROW(write({"FOR", "FOR", KeyType::Character, 4, false, false, true}, {}), pasarela::Error);
  std::vector<MdxTag> tooMany(48, sortedTag({"T", "T", KeyType::Character, 4}, {}, 0x57));
  EXPECT_THROW(writeMdx(dir / "W.MDX", "W", 0x57, tooMany), pasarela::Error);
  EXPECT_FALSE(std::filesystem::exists(dir / "W.MDX"));
}

}  // namespace
