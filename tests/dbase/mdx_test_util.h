// Shared helpers of the index tests: a scratch folder and sorted tags.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dbase/mdx.h"
#include "support/temp_folder.h"

namespace pasarela::test {

// A fresh folder, removed afterwards. Its name is upper case so TDbf finds
// FILE.MDX in it.
class ScratchDir : public TempFolder {
 public:
  ScratchDir() : TempFolder("MDXTEST") {}
};

inline std::string padded(std::string s, std::size_t length) {
  s.resize(length, ' ');
  return s;
}

// A tag over the given keys (record i + 1 holds keys[i]), entries put in
// index order with our collation: key, then record number.
inline dbase::MdxTag sortedTag(const dbase::MdxTagLayout& layout, const std::vector<std::string>& keys,
                               std::uint8_t ldid) {
  dbase::MdxTag tag{layout, {}};
  for (std::size_t i = 0; i < keys.size(); ++i)
    tag.entries.push_back({keys[i], static_cast<std::uint32_t>(i + 1)});
  std::stable_sort(tag.entries.begin(), tag.entries.end(),
                   [&](const dbase::MdxEntry& a, const dbase::MdxEntry& b) {
                     int c = dbase::compareKeys(ldid, layout.type, a.key, b.key);
                     if (layout.descending) c = -c;
                     return c < 0;
                   });
  return tag;
}

inline std::vector<std::uint32_t> recordOrder(const dbase::MdxTag& tag) {
  std::vector<std::uint32_t> order;
  for (const auto& e : tag.entries) order.push_back(e.recNo);
  return order;
}

// Test names for suites over language drivers: "x58".
inline std::string driverName(const ::testing::TestParamInfo<int>& param) {
  static const char* digits = "0123456789ABCDEF";
  return std::string("x") + digits[(param.param >> 4) & 15] + digits[param.param & 15];
}

}  // namespace pasarela::test
