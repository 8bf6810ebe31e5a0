// A temporary folder that stands for drive C: during one test.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace pasarela::test {

class TempDriveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/pasarela-test-XXXXXX";
    root_ = mkdtemp(tmpl);
    setenv("PASARELA_DRIVE_C", root_.c_str(), 1);
    std::filesystem::create_directories(root_ / "KTEMP");
  }
  void TearDown() override {
    unsetenv("PASARELA_DRIVE_C");
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  std::filesystem::path host(const std::string& relative) const { return root_ / relative; }
  std::string bytes(const std::string& relative) const {
    std::ifstream in(host(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path root_;
};

}  // namespace pasarela::test
