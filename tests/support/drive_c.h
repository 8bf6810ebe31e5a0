// A temporary folder standing for drive C: (PASARELA_DRIVE_C) during one
// test or one test program, with helpers to make and read files in it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "support/environment.h"

namespace pasarela::test {

// Makes the folder and points drive C at it; undoes both when destroyed.
class TemporaryDriveC {
 public:
  explicit TemporaryDriveC(const std::string& prefix = "pasarela-drive-c-") : root_(makeDriveFolder(prefix)) {
    setEnvironment("PASARELA_DRIVE_C", root_.string());
  }
  TemporaryDriveC(const TemporaryDriveC&) = delete;
  TemporaryDriveC& operator=(const TemporaryDriveC&) = delete;
  ~TemporaryDriveC() {
    unsetEnvironment("PASARELA_DRIVE_C");
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  const std::filesystem::path& root() const { return root_; }

 private:
  std::filesystem::path root_;
};

class DriveCTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drive_ = std::make_unique<TemporaryDriveC>();
    root_ = drive_->root();
  }
  void TearDown() override { drive_.reset(); }
  // Host path of a path relative to the drive's root ("" is the root).
  std::filesystem::path host(const std::string& relative) const {
    std::string r = relative;
    while (!r.empty() && r.front() == '/') r.erase(0, 1);
    return r.empty() ? root_ : root_ / r;
  }
  void put(const std::string& relative, const std::string& content) const {
    std::filesystem::create_directories(host(relative).parent_path());
    std::ofstream out(host(relative), std::ios::binary | std::ios::trunc);
    out << content;
  }
  std::string get(const std::string& relative) const {
    std::ifstream in(host(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Whole-file comparison that does not print megabytes of binary on failure.
  ::testing::AssertionResult holds(const std::string& relative, const std::string& expected) const {
    const std::string actual = get(relative);
    if (actual == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << relative << " holds " << actual.size() << " bytes, expected "
                                         << expected.size() << (exists(relative) ? "" : " (missing)");
  }
  bool exists(const std::string& relative) const { return std::filesystem::exists(host(relative)); }

  // Bytes that differ from one position to the next (a copy that drops,
  // repeats or reorders a block does not match).
  static std::string pattern(std::size_t size, unsigned seed = 1) {
    std::string s(size, '\0');
    unsigned v = seed * 2654435761u + 12345u;
    for (std::size_t i = 0; i < size; ++i) {
      v = v * 1103515245u + 12345u;
      s[i] = static_cast<char>(v >> 16);
    }
    return s;
  }

  std::unique_ptr<TemporaryDriveC> drive_;
  std::filesystem::path root_;
};

// Drive C with the interchange folder C:\KTEMP already there.
class TempDriveTest : public DriveCTest {
 protected:
  void SetUp() override {
    DriveCTest::SetUp();
    std::filesystem::create_directories(root_ / "KTEMP");
  }
  std::string bytes(const std::string& relative) const { return get(relative); }
};

}  // namespace pasarela::test
