// The table AULAT.DBF on a temporary drive C, and the message of a failing call.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"
#include "data/table.h"
#include "support/drive_c.h"

namespace pasarela::test {

inline std::string messageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.what();
  }
  return "(no error)";
}

class TableTest : public TempDriveTest {
 protected:
  void createAulas(const std::vector<std::string>& index = {}) {
    Table t;
    t.setDatabaseName("C:\\KTEMP");
    t.setTableName("AULAT.DBF");
    t.createTable({{"CODIGO", FieldKind::String, 10},
                   {"NOMBRE", FieldKind::String, 20},
                   {"PLAZAS", FieldKind::Integer, 0},
                   {"SUPERF", FieldKind::Float, 0},
                   {"ACTIVA", FieldKind::Boolean, 0}},
                  index);
  }
  void fill(Table& t, const std::vector<std::pair<std::string, int>>& rows) {
    for (const auto& [code, seats] : rows) {
      t.append();
      t.setString("Codigo", code);
      t.setInteger("plazas", seats);
      t.post();
    }
  }
  std::unique_ptr<Table> openAulas(const std::string& name = "", bool exclusive = false) {
    auto t = std::make_unique<Table>(name);
    t->setDatabaseName("C:\\KTEMP");
    t->setTableName("AULAT");
    t->setExclusive(exclusive);
    t->open();
    return t;
  }
};

}  // namespace pasarela::test
