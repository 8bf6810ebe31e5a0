// Shared helpers of the index tests: a scratch folder and sorted tags.
#pragma once

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dbase/mdx.h"

namespace pasarela::test {

// A fresh folder under the system's temporary folder, removed afterwards.
// Its name is upper case so TDbf finds FILE.MDX in it.
class ScratchDir {
 public:
  ScratchDir() {
    static std::atomic<int> counter{0};
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("MDXTEST" + std::to_string(random()) + "_" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
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
