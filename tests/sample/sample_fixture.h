// A temporary drive C: holding sample schools, and reading their tables
// back through the table object.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "data/table.h"
#include "sample/sample_school.h"

namespace pasarela::test {

class SampleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/pasarela-sample-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    setenv("PASARELA_DRIVE_C", root_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("PASARELA_DRIVE_C");
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }

  static std::size_t count(const sample::SampleCounts& counts, const std::string& file) {
    for (const auto& [name, n] : counts)
      if (name == file) return n;
    ADD_FAILURE() << "no count for " << file;
    return 0;
  }

  // Calls `each` on every record of a table of the folder, in physical order.
  static void forEach(const std::string& folder, const std::string& file,
                      const std::function<void(Table&)>& each) {
    Table t;
    t.setDatabaseName(folder);
    t.setTableName(file);
    t.open();
    for (t.first(); !t.eof(); t.next()) each(t);
    t.close();
  }

  std::string bytes(const std::string& relative) const {
    std::ifstream in(root_ / relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path root_;
};

}  // namespace pasarela::test
