// ASIGVALT.DBF (one record per school subject, the subject translation table
// of the whole system) and ASIGNOMT.DBF (one record per short code).
#include <cstdlib>
#include <memory>

#include "data/folders.h"
#include "data/table.h"
#include "dbase/error.h"
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
  exportar::deleteInterchangeFiles("ASIGNOMT");

  auto asigvalt = std::make_unique<Table>();
  asigvalt->setDatabaseName(kInterchangeFolder);
  asigvalt->setTableName("ASIGVALT.DBF");
  asigvalt->createTable(asigvaltFields(), {"COD", "CODVALEN"});

  auto asignomt = std::make_unique<Table>();
  asignomt->setDatabaseName(kInterchangeFolder);
  asignomt->setTableName("ASIGNOMT.DBF");
  asignomt->createTable(asignomtFields());

  Table& asignat = ctx.tables.wwTableAsignat;
  asignomt->open();
  asigvalt->open();
  asignat.open();
  asignat.first();

  // The language box may name any text; only "CASTELLANO" exactly selects
  // the Castilian names.
  const char* nameField = ctx.language == "CASTELLANO" ? "Cliteasig" : "Vliteasig";
  while (!asignat.eof()) {
    asigvalt->append();
    const std::string shortCode = asignat.asString("Litresv");
    asigvalt->setString("COD", shortCode);
    asigvalt->setString("CODLARGO", shortCode);
    asigvalt->setString("NOMBRE", asignat.asString(nameField));
    const std::string code = asignat.asString("Codasig");
    asigvalt->setString("CODVALEN", code);
    asigvalt->setFloat("NHORAS", exportar::subjectHours(asignat.asString("Horsemte")));
    asigvalt->setString("NIVEL", exportar::charSub(code, 1, 3));
    asigvalt->setString("CURSO", exportar::charSub(code, 0, 1));
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
