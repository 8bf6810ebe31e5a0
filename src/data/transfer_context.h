// What a run reads of the main window when it starts (the table components,
// the user interface, the three choices of the window, whether it is
// embedded) and the result it hands back for the host.
#pragma once

#include <string>

#include "data/folders.h"
#include "data/school_tables.h"
#include "data/user_interface.h"

namespace pasarela {

struct TransferContext {
  SchoolTables& tables;
  UserInterface& ui;
  std::string sourceFolder;  // ListaDirectorios' current folder, a Windows path
  std::string centre;        // the text of CBCentro
  std::string language;      // the text of ComboBoxValCast
  // Where the export writes its tables: C:\KTEMP, or the folder a whole run
  // builds the new set in before it replaces the old one.
  std::string interchangeFolder = kInterchangeFolder;
  // NumParametros as start-up set it: 2 when embedded in the generator's
  // window, where a run ends by closing the window.
  int numParametros = 0;
  // Transformado, the result the host reads from Tempolis.ini: the export
  // sets 1 as it starts; the import sets 1 once it has completed, and 0 when
  // an embedded run ends without replacing the timetable. Left as it was
  // otherwise; the shell copies it to the process-wide flag.
  int transformado = 0;
};

}  // namespace pasarela
