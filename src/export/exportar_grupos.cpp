// GRUPOST.DBF (one record per distinct group of a shift) and CURSOST.DBF
// (one record per distinct course of a shift), in order of first occurrence.
#include <memory>
#include <unordered_set>

#include "data/folders.h"
#include "data/table.h"
#include "export/export_run.h"
#include "export/export_text.h"
#include "export/group_code.h"

namespace pasarela {

namespace {

// A key of several texts, each prefixed by its length so that no two lists
// of texts give the same key.
std::string compositeKey(std::initializer_list<std::string> parts) {
  std::string key;
  for (const std::string& part : parts) key += std::to_string(part.size()) + ':' + part;
  return key;
}

std::unique_ptr<Table> createInterchange(const std::string& folder, const std::string& base,
                                         const std::vector<FieldDef>& fields) {
  exporting::deleteInterchangeFiles(folder, base);
  auto table = std::make_unique<Table>();
  table->setDatabaseName(folder);
  table->setTableName(base + ".DBF");
  table->createTable(fields);
  table->open();
  return table;
}

}  // namespace

void ExportarGrupos(TransferContext& ctx) {
  auto grupost = createInterchange(ctx.interchangeFolder, "GRUPOST",
                                   {{"ABREV", FieldKind::String, 4},
                                    {"TURNO", FieldKind::String, 1},
                                    {"NIVEL", FieldKind::String, 5},
                                    {"CURSO", FieldKind::String, 3},
                                    {"GRUPO", FieldKind::String, 2},
                                    {"DESCRIP", FieldKind::String, 40}});
  auto cursost = createInterchange(ctx.interchangeFolder, "CURSOST",
                                   {{"ABREV", FieldKind::String, 3},
                                    {"TURNO", FieldKind::String, 1},
                                    {"NIVEL", FieldKind::String, 5},
                                    {"CURSO", FieldKind::String, 3}});

  // The keys of the records written, as the tables hold them: a value cut
  // by its field (a shift of two characters) never equals the source text,
  // so such a group is written again each time, as a scan of the table
  // would find.
  std::unordered_set<std::string> groupsWritten;
  std::unordered_set<std::string> coursesWritten;

  Table& grupos = ctx.tables.wwTableGrupos;
  grupos.open();
  for (grupos.first(); !grupos.eof(); grupos.next()) {
    const std::string shift = grupos.asString("Turno");
    const exporting::GroupCode group = exporting::splitGroupCode(grupos.asString("Codgrup"));
    if (!group.complete()) continue;

    if (!groupsWritten.count(compositeKey({shift, group.level, group.year, group.letter}))) {
      grupost->append();
      grupost->setString("ABREV", exporting::groupAbbreviation(group));
      grupost->setString("TURNO", shift);
      grupost->setString("NIVEL", group.level);
      grupost->setString("CURSO", group.year);
      grupost->setString("GRUPO", group.letter);
      grupost->setString("DESCRIP", exporting::groupDescription(shift, group));
      groupsWritten.insert(compositeKey({grupost->asString("TURNO"), grupost->asString("NIVEL"),
                                         grupost->asString("CURSO"), grupost->asString("GRUPO")}));
      grupost->post();
    }
    if (!coursesWritten.count(compositeKey({shift, group.level, group.year}))) {
      cursost->append();
      cursost->setString("ABREV", exporting::courseAbbreviation(shift, group));
      cursost->setString("TURNO", shift);
      cursost->setString("NIVEL", group.level);
      cursost->setString("CURSO", group.year);
      coursesWritten.insert(
          compositeKey({cursost->asString("TURNO"), cursost->asString("NIVEL"), cursost->asString("CURSO")}));
      cursost->post();
    }
  }
  grupos.close();
  grupost->close();
  cursost->close();
}

}  // namespace pasarela
