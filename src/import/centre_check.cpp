#include "import/centre_check.h"

#include "base/error.h"

namespace pasarela {

void checkCentre(SchoolTables& tables, const std::string& centre) {
  Table& centro = tables.wwTableCentro;
  if (centre.empty())
    throw Error(
        "No se ha indicado el código del centro: la lista de centros está vacía. Elija la carpeta con los "
        "datos de OB (debe tener centro.dbf) y vuelva a importar");
  const bool wasOpen = centro.active();
  bool found = false;
  try {
    if (!wasOpen) centro.open();
    for (centro.first(); !centro.eof() && !found; centro.next()) found = centro.asString("Codcen") == centre;
  } catch (...) {
    if (!wasOpen) centro.close();
    throw;
  }
  if (!wasOpen) centro.close();
  if (!found)
    throw Error("El centro '" + centre + "' no está en la tabla de centros '" + centro.windowsPath() +
                "': elija uno de la lista de centros");
}

}  // namespace pasarela
