// What a run reads of the main window when it starts: the table components,
// the user interface, and the three choices of the window.
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
};

}  // namespace pasarela
