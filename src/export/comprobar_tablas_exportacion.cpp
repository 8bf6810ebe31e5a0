// ComprobarTablasExportacion: every staged table the export reads is there
// and opens, before any interchange table is touched.
#include <string>
#include <utility>

#include "base/error.h"
#include "data/table.h"
#include "data/winpath.h"
#include "export/export_run.h"

namespace pasarela {

void ComprobarTablasExportacion(TransferContext& ctx) {
  SchoolTables& t = ctx.tables;
  const std::pair<Table*, const char*> sources[] = {
      {&t.wwTableAsignat, "asignat.dbf"},   {&t.wwTableProfesor, "profesor.dbf"},
      {&t.wwTableAulas, "aulas.dbf"},       {&t.wwTableAlumnos, "alumnos.dbf"},
      {&t.wwTableAsigAlum, "asigalum.dbf"}, {&t.wwTableGrupos, "grupos.dbf"},
      {&t.wwTableHorGrup, "horgrup.dbf"}};
  for (const auto& [table, file] : sources) {
    const std::string school =
        ctx.sourceFolder.empty() ? table->windowsPath() : winpath::join(ctx.sourceFolder, file);
    if (!winpath::fileExists(table->windowsPath())) {
      throw Error("No se encuentra el archivo '" + school +
                  "': la exportación necesita esta tabla de ORBENTA. No se ha modificado ninguna tabla de "
                  "intercambio de C:\\KTEMP");
    }
    try {
      table->close();
      table->open();
      table->first();
      table->close();
    } catch (const Error& e) {
      table->close();
      throw Error(std::string(e.what()) + " (copia de '" + school +
                  "'). No se ha modificado ninguna tabla de intercambio de C:\\KTEMP");
    }
  }
}

}  // namespace pasarela
