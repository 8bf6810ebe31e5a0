// ASIGCURT.DBF: the subjects of each level and course with their hours, one
// record per ASIGVALT record in school subject code order.
#include <memory>

#include "data/field_ref.h"
#include "data/folders.h"
#include "data/table.h"
#include "data/winpath.h"
#include "export/export_run.h"
#include "export/export_text.h"

namespace pasarela {

void ExportarAsignaturasCurso(TransferContext& ctx) {
  exporting::deleteInterchangeFiles(ctx.interchangeFolder, "ASIGCURT");

  auto asigcurt = std::make_unique<Table>();
  asigcurt->setDatabaseName(ctx.interchangeFolder);
  asigcurt->setTableName("ASIGCURT.DBF");
  asigcurt->createTable({{"NIVEL", FieldKind::String, 5},
                         {"CURSO", FieldKind::String, 3},
                         {"ASIG", FieldKind::String, 4},
                         {"HORAS", FieldKind::Float, 0}});

  auto asigvalt = std::make_unique<Table>();
  asigvalt->setDatabaseName("");
  asigvalt->setTableName(winpath::join(ctx.interchangeFolder, "ASIGVALT.DBF"));
  asigvalt->setIndexName("CODVALEN");
  asigvalt->open();
  asigcurt->open();
  FieldRef nivelIn(*asigvalt, "NIVEL"), cursoIn(*asigvalt, "CURSO"), cod(*asigvalt, "COD"),
      nhoras(*asigvalt, "NHORAS");
  FieldRef nivel(*asigcurt, "NIVEL"), curso(*asigcurt, "CURSO"), asig(*asigcurt, "ASIG"),
      horas(*asigcurt, "HORAS");
  for (asigvalt->first(); !asigvalt->eof(); asigvalt->next()) {
    asigcurt->append();
    nivel.set(nivelIn.get());
    curso.set(cursoIn.get());
    asig.set(cod.get());
    horas.setFloat(nhoras.asFloat());
    asigcurt->post();
  }
  asigcurt->close();
  asigvalt->close();
}

}  // namespace pasarela
