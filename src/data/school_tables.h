// The table components of the main window: the school-management tables in
// the staging folder and the solution table. One object owns them; the Qt
// window and the CLI each hold one.
#pragma once

#include <vector>

#include "data/table.h"

namespace pasarela {

class SchoolTables {
 public:
  SchoolTables();  // every component set up and closed
  SchoolTables(const SchoolTables&) = delete;
  SchoolTables& operator=(const SchoolTables&) = delete;

  Table wwTableAsignat;   // c:\ktemp\vavovidi  asignat.dbf  exclusive
  Table wwTableCentro;    // centro    exclusive
  Table wwTableProfesor;  // profesor  exclusive
  Table wwTableAsigAlum;  // asigalum  exclusive
  Table wwTableAulas;     // aulas     exclusive
  Table wwTableGrupos;    // grupos    exclusive
  Table wwTableAlumnos;   // alumnos   exclusive
  Table wwTableHorGrup;   // horgrup   exclusive
  Table wwTableHorProf;   // horprof   exclusive
  Table wwTableSoluc;     // c:\ktemp  SOLUC  exclusive
  Table wwTableLhortipo;  // lhortipo  shared

  std::vector<Table*> all();
  void closeAll();
};

}  // namespace pasarela
