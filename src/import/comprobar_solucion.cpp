#include "import/comprobar_solucion.h"

#include <string>

#include "base/error.h"
#include "data/folders.h"
#include "data/interchange_set.h"
#include "data/winpath.h"
#include "import/centre_check.h"
#include "import/slot_times.h"

namespace pasarela {

namespace {

const char* const kNothingChanged = ". No se ha modificado ningún archivo";

// Closes a table on every way out.
struct Closer {
  Table& table;
  ~Closer() { table.close(); }
};

[[noreturn]] void refuse(const std::string& what) { throw Error(what + kNothingChanged); }

std::string at(const Table& table) { return "registro " + std::to_string(table.recNo()); }

void checkRows(Table& soluc) {
  soluc.open();
  Closer closer{soluc};
  long withDay = 0;
  for (soluc.first(); !soluc.eof(); soluc.next()) {
    const auto dia = soluc.asInteger("DIA");
    if (dia == 0) continue;
    if (dia < 1 || dia > 7) {
      refuse("La solución " + std::string(kSolutionFile) + " tiene un día fuera de 1 a 7 (DIA " +
             std::to_string(dia) + ", " + at(soluc) + ")");
    }
    const auto hora = soluc.asInteger("HORA");
    if (!slotInRange(hora)) {
      refuse("La solución " + std::string(kSolutionFile) + " tiene una hora fuera de la plantilla de 1 a " +
             std::to_string(kSlots) + " (HORA " + std::to_string(hora) + ", " + at(soluc) + ")");
    }
    ++withDay;
  }
  if (withDay == 0) {
    refuse(
        "La solución " + std::string(kSolutionFile) +
        " no tiene ninguna clase (está vacía, borrada o sin días): los horarios del centro quedarían vacíos");
  }
}

void checkInterchangeSet() {
  if (interchangeIncomplete()) {
    refuse(std::string("Los archivos de intercambio de C:\\KTEMP son de una exportación que no terminó: ") +
           "vuelva a exportar los datos antes de importar");
  }
  for (const char* file : {"C:\\KTEMP\\ASIGVALT.DBF", "C:\\KTEMP\\PROFT.DBF"}) {
    Table table;
    table.setTableName(file);
    table.open();
    table.first();
    if (table.eof()) {
      refuse(std::string("El archivo de intercambio '") + file +
             "' no tiene registros: vuelva a exportar los datos antes de importar");
    }
  }
}

}  // namespace

void ComprobarSolucion(TransferContext& ctx) {
  checkRows(ctx.tables.wwTableSoluc);
  try {
    checkCentre(ctx.tables, ctx.centre);
  } catch (const Error& e) {
    refuse(e.what());
  }
  checkInterchangeSet();
}

}  // namespace pasarela
