// ASIGVALT.DBF (one record per school subject, the subject translation table
// of the whole system) and ASIGNOMT.DBF (one record per short code).
#include <cstdlib>
#include <memory>

#include "base/error.h"
#include "data/field_ref.h"
#include "data/folders.h"
#include "data/table.h"
#include "export/export_run.h"
#include "export/export_text.h"
#include "export/subject_hours.h"

namespace pasarela {

namespace {

std::vector<FieldDef> asignomtFields() {
  return {
      {"COD", FieldKind::String, 4}, {"CODLARGO", FieldKind::String, 8}, {"NOMBRE", FieldKind::String, 40}};
}

std::vector<FieldDef> asigvaltFields() {
  auto fields = asignomtFields();
  fields.push_back({"CODVALEN", FieldKind::String, 10});
  fields.push_back({"NHORAS", FieldKind::Float, 0});
  fields.push_back({"NIVEL", FieldKind::String, 5});
  fields.push_back({"CURSO", FieldKind::String, 3});
  return fields;
}

}  // namespace

void ExportarAsignaturas(TransferContext& ctx) {
  exporting::deleteInterchangeFiles(ctx.interchangeFolder, "ASIGNOMT");

  auto asigvalt = std::make_unique<Table>();
  asigvalt->setDatabaseName(ctx.interchangeFolder);
  asigvalt->setTableName("ASIGVALT.DBF");
  asigvalt->createTable(asigvaltFields(), {"COD", "CODVALEN"});

  auto asignomt = std::make_unique<Table>();
  asignomt->setDatabaseName(ctx.interchangeFolder);
  asignomt->setTableName("ASIGNOMT.DBF");
  asignomt->createTable(asignomtFields());

  Table& asignat = ctx.tables.wwTableAsignat;
  asignomt->open();
  asigvalt->open();
  asignat.open();
  asignat.first();

  // The language box may name any text; only "CASTELLANO" exactly selects
  // the Castilian names.
  FieldRef litresv(asignat, "Litresv"),
      name(asignat, ctx.language == "CASTELLANO" ? "Cliteasig" : "Vliteasig"), codasig(asignat, "Codasig"),
      horsemte(asignat, "Horsemte");
  FieldRef cod(*asigvalt, "COD"), codlargo(*asigvalt, "CODLARGO"), nombre(*asigvalt, "NOMBRE"),
      codvalen(*asigvalt, "CODVALEN"), nivel(*asigvalt, "NIVEL"), curso(*asigvalt, "CURSO"),
      nhoras(*asigvalt, "NHORAS");
  while (!asignat.eof()) {
    asigvalt->append();
    const std::string shortCode = litresv.get();
    cod.set(shortCode);
    codlargo.set(shortCode);
    nombre.set(name.get());
    const std::string code = codasig.get();
    codvalen.set(code);
    nhoras.setFloat(exporting::subjectHours(horsemte.get()));
    nivel.set(exporting::charSub(code, 1, 3));
    curso.set(exporting::charSub(code, 0, 1));
    asigvalt->post();
    asignat.next();
  }

  // One ASIGNOMT record per short code: the first subject of each run of
  // equal codes in COD order gives its long code and name.
  asignat.close();
  asigvalt->close();
  asigvalt->open();
  asigvalt->setIndexName("COD");
  asigvalt->first();
  std::string lastCode = "@#$";
  while (!asigvalt->eof()) {
    const std::string shortCode = asigvalt->asString("COD");
    if (shortCode != lastCode) {
      lastCode = shortCode;
      asignomt->append();
      asignomt->setString("COD", shortCode);
      asignomt->setString("CODLARGO", asigvalt->asString("CODLARGO"));
      asignomt->setString("NOMBRE", asigvalt->asString("NOMBRE"));
      asignomt->post();
    }
    asigvalt->next();
  }
  asignomt->close();
  asigvalt->close();
}

}  // namespace pasarela
