// C:\KTEMP\PROFT.DBF as an export leaves it, for the tests of what reads it
// (the import's teacher check, the check window). Written with the table
// object, so the test links pasarela_data.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/table.h"

namespace pasarela::test {

struct ProftRow {
  std::string abrev, nombre, depart;
  std::optional<std::int64_t> dni;  // none: the field left empty
};

inline void writeProft(const std::vector<ProftRow>& rows) {
  Table t;
  t.setTableName("C:\\KTEMP\\PROFT.DBF");
  t.createTable({{"ABREV", FieldKind::String, 4},
                 {"NOMBRE", FieldKind::String, 40},
                 {"DEPART", FieldKind::String, 40},
                 {"DNI", FieldKind::Integer, 0}});
  t.open();
  for (const ProftRow& row : rows) {
    t.append();
    t.setString("ABREV", row.abrev);
    t.setString("NOMBRE", row.nombre);
    t.setString("DEPART", row.depart);
    if (row.dni) t.setInteger("DNI", *row.dni);
    t.post();
  }
  t.close();
}

}  // namespace pasarela::test
