// ASIGCURT.DBF: the subjects of each level and course with their hours, one
// record per ASIGVALT record in school subject code order.
#include <memory>

#include "data/folders.h"
#include "data/table.h"
#include "export/export_run.h"
#include "export/export_text.h"

namespace pasarela {

void ExportarAsignaturasCurso(TransferContext&) {
  exportar::deleteInterchangeFiles("ASIGCURT");

  auto asigcurt = std::make_unique<Table>();
  asigcurt->setDatabaseName(kInterchangeFolder);
  asigcurt->setTableName("ASIGCURT.DBF");
  asigcurt->createTable({{"NIVEL", FieldKind::String, 5},
                         {"CURSO", FieldKind::String, 3},
                         {"ASIG", FieldKind::String, 4},
                         {"HORAS", FieldKind::Float, 0}});

  auto asigvalt = std::make_unique<Table>();
  asigvalt->setDatabaseName("");
  asigvalt->setTableName("C:\\KTEMP\\ASIGVALT.DBF");
  asigvalt->setIndexName("CODVALEN");
  asigvalt->open();
  asigcurt->open();
  for (asigvalt->first(); !asigvalt->eof(); asigvalt->next()) {
    asigcurt->append();
    asigcurt->setString("NIVEL", asigvalt->asString("NIVEL"));
    asigcurt->setString("CURSO", asigvalt->asString("CURSO"));
    asigcurt->setString("ASIG", asigvalt->asString("COD"));
    asigcurt->setFloat("HORAS", asigvalt->asFloat("NHORAS"));
    asigcurt->post();
  }
  asigcurt->close();
  asigvalt->close();
}

}  // namespace pasarela
