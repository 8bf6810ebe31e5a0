// A temporary drive C: holding sample schools, and reading their tables
// back through the table object.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "data/table.h"
#include "support/drive_c.h"
#include "sample/sample_school.h"

namespace pasarela::test {

class SampleTest : public DriveCTest {
 protected:
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
};

}  // namespace pasarela::test
