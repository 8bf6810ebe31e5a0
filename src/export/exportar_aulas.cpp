// AULAT.DBF: the rooms, copied as they are.
#include <map>
#include <memory>
#include <vector>

#include "data/folders.h"
#include "data/table.h"
#include "export/export_run.h"
#include "export/export_text.h"

namespace pasarela {

namespace {

constexpr std::size_t kAbrevSize = 4;

// The rooms whose code AULAT.ABREV cannot hold whole, and those that end up
// with one code for several rooms: the generator cannot tell them apart, and
// the import writes the cut code into horprof.
std::string cutRoomsWarning(const std::map<std::string, std::vector<std::string>>& byStoredCode) {
  std::string list;
  for (const auto& [stored, rooms] : byStoredCode) {
    bool cut = false;
    for (const std::string& room : rooms) cut = cut || exporting::charCount(room) > kAbrevSize;
    if (!cut) continue;
    std::string names;
    for (std::size_t i = 0; i < rooms.size(); ++i)
      names += (i == 0 ? "" : i + 1 == rooms.size() ? " y " : ", ") + ("'" + rooms[i] + "'");
    list += (list.empty() ? "" : "; ") + names + " como '" + stored + "'";
  }
  if (list.empty()) return {};
  return "Aviso: el código de aula de AULAT.DBF tiene 4 caracteres y se han recortado estas aulas: " + list +
         ". Las que comparten código no se distinguirán en el horario";
}

}  // namespace

void ExportarAulas(TransferContext& ctx) {
  exporting::deleteInterchangeFiles(ctx.interchangeFolder, "AULAT");

  auto aulat = std::make_unique<Table>();
  aulat->setDatabaseName(ctx.interchangeFolder);
  aulat->setTableName("AULAT.DBF");
  aulat->createTable({{"ABREV", FieldKind::String, 4},
                      {"NOMBRE", FieldKind::String, 40},
                      {"EDIFICIO", FieldKind::String, 1},
                      {"MAXALUM", FieldKind::Integer, 0}});
  aulat->open();

  Table& aulas = ctx.tables.wwTableAulas;
  aulas.open();
  aulas.first();
  std::map<std::string, std::vector<std::string>> byStoredCode;
  while (!aulas.eof()) {
    aulat->append();
    const std::string code = aulas.asString("Codaula");
    byStoredCode[exporting::charSub(code, 0, kAbrevSize)].push_back(code);
    aulat->setString("ABREV", code);
    aulat->setString("NOMBRE", aulas.asString("Litaula"));
    aulat->setString("EDIFICIO", "1");
    aulat->setInteger("MAXALUM", 0);
    aulat->post();
    aulas.next();
  }
  aulas.close();
  aulat->close();
  const std::string warning = cutRoomsWarning(byStoredCode);
  if (!warning.empty()) ctx.ui.notice(warning);
}

}  // namespace pasarela
