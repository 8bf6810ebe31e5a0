// AULAT.DBF: the rooms, copied as they are.
#include <memory>

#include "data/folders.h"
#include "data/table.h"
#include "export/export_run.h"
#include "export/export_text.h"

namespace pasarela {

void ExportarAulas(TransferContext& ctx) {
  exportar::deleteInterchangeFiles("AULAT");

  auto aulat = std::make_unique<Table>();
  aulat->setDatabaseName(kInterchangeFolder);
  aulat->setTableName("AULAT.DBF");
  aulat->createTable({{"ABREV", FieldKind::String, 4},
                      {"NOMBRE", FieldKind::String, 40},
                      {"EDIFICIO", FieldKind::String, 1},
                      {"MAXALUM", FieldKind::Integer, 0}});
  aulat->open();

  Table& aulas = ctx.tables.wwTableAulas;
  aulas.open();
  aulas.first();
  while (!aulas.eof()) {
    aulat->append();
    aulat->setString("ABREV", aulas.asString("Codaula"));
    aulat->setString("NOMBRE", aulas.asString("Litaula"));
    aulat->setString("EDIFICIO", "1");
    aulat->setInteger("MAXALUM", 0);
    aulat->post();
    aulas.next();
  }
  aulas.close();
  aulat->close();
}

}  // namespace pasarela
