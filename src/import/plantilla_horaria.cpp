#include "import/plantilla_horaria.h"

#include "data/winpath.h"

namespace pasarela {

namespace {

void clearSlots(HorasTabla& HorasInicio, HorasTabla& HorasFinal) {
  HorasInicio.fill({});
  HorasFinal.fill({});
}

// The centre's slot times from lhortipo: the last non-empty start and end of
// each slot, separately, in physical order.
void readLhortipo(TransferContext& ctx, HorasTabla& HorasInicio, HorasTabla& HorasFinal) {
  Table& lines = ctx.tables.wwTableLhortipo;
  lines.open();
  for (lines.first(); !lines.eof(); lines.next()) {
    if (lines.asString("CODCEN") != ctx.centre) continue;
    auto n = lines.asInteger("Numhora");
    if (!slotInRange(n)) continue;
    std::string desde = lines.asString("Desde");
    std::string hasta = lines.asString("Hasta");
    if (!desde.empty()) HorasInicio[n] = desde;
    if (!hasta.empty()) HorasFinal[n] = hasta;
  }
}

void writePlantilla(const HorasTabla& HorasInicio, const HorasTabla& HorasFinal) {
  const std::string dbf = winpath::join(kTemplateFolder, "PLANTILLA.DBF");
  const std::string mdx = winpath::join(kTemplateFolder, "PLANTILLA.MDX");
  if (winpath::fileExists(dbf)) winpath::deleteFile(dbf);
  if (winpath::fileExists(mdx)) winpath::deleteFile(mdx);

  Table plantilla;
  plantilla.setDatabaseName(kTemplateFolder);
  plantilla.setTableName("PLANTILLA.DBF");
  plantilla.createTable(
      {
          {"HORA", FieldKind::Integer, 0},
          {"HORAINI", FieldKind::String, 5},
          {"HORAFIN", FieldKind::String, 5},
      },
      {"HORA"});
  plantilla.open();
  for (int n = 1; n <= kSlots; ++n) {
    plantilla.append();
    plantilla.setInteger("HORA", n);
    plantilla.setString("HORAINI", HorasInicio[n]);
    plantilla.setString("HORAFIN", HorasFinal[n]);
    plantilla.post();
  }
  plantilla.close();
}

// What the user left in the template, in HORA order.
void readPlantilla(HorasTabla& HorasInicio, HorasTabla& HorasFinal) {
  Table plantilla;
  plantilla.setDatabaseName("");
  plantilla.setTableName(winpath::join(kTemplateFolder, "Plantilla.DBF"));
  plantilla.open();
  plantilla.setIndexName("HORA");
  for (plantilla.first(); !plantilla.eof(); plantilla.next()) {
    auto n = plantilla.asInteger("HORA");
    if (!slotInRange(n)) continue;
    HorasInicio[n] = plantilla.asString("HORAINI");
    HorasFinal[n] = plantilla.asString("HORAFIN");
  }
  plantilla.close();
}

}  // namespace

void PlantillaHoraria(TransferContext& ctx, HorasTabla& HorasInicio, HorasTabla& HorasFinal) {
  clearSlots(HorasInicio, HorasFinal);
  readLhortipo(ctx, HorasInicio, HorasFinal);
  writePlantilla(HorasInicio, HorasFinal);

  ctx.ui.normalCursor();
  ctx.ui.showTemplateCheck();
  ctx.ui.busyCursor();

  clearSlots(HorasInicio, HorasFinal);
  readPlantilla(HorasInicio, HorasFinal);
}

}  // namespace pasarela
