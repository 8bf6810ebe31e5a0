#include "import/controlar_dni_profesores.h"

namespace pasarela {

const char* const kTeacherWithoutDniMessage =
    "¡Atención! Sigue habiendo algún Profesor sin D.N.I.\n\r"
    "Este proceso se dentendrá y deberá volver a ejecutar\n\r"
    "la Importación, para poder corregir la incidencia";

namespace {

std::unique_ptr<Table> openTeachers() {
  auto table = std::make_unique<Table>();
  table->setDatabaseName("");
  table->setTableName("C:\\KTEMP\\PROFT.DBF");
  table->open();
  return table;
}

bool someoneWithoutDni(Table& teachers) {
  for (teachers.first(); !teachers.eof(); teachers.next())
    if (teachers.asInteger("DNI") == 0) return true;
  return false;
}

}  // namespace

std::unique_ptr<Table> ControlarDniProfesores(UserInterface& ui) {
  bool windowShown = false;
  for (;;) {
    std::unique_ptr<Table> teachers = openTeachers();
    if (!someoneWithoutDni(*teachers)) {
      teachers->first();
      return teachers;
    }
    if (windowShown) {
      teachers.reset();
      ui.normalCursor();
      ui.notice(kTeacherWithoutDniMessage);
      ui.closeMainWindow();
      return nullptr;
    }
    // The window opens its own table object: ours must be closed first.
    teachers.reset();
    ui.normalCursor();
    ui.showTeacherCheck();
    ui.busyCursor();
    windowShown = true;
  }
}

}  // namespace pasarela
