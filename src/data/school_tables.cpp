#include "data/school_tables.h"

namespace pasarela {

namespace {

constexpr const char* kComponentFolder = "c:\\ktemp\\vavovidi";

void setUp(Table& table, const char* folder, const char* tableName, bool exclusive) {
  table.setDatabaseName(folder);
  table.setTableName(tableName);
  table.setExclusive(exclusive);
}

}  // namespace

SchoolTables::SchoolTables()
    : wwTableAsignat("wwTableAsignat"),
      wwTableCentro("wwTableCentro"),
      wwTableProfesor("wwTableProfesor"),
      wwTableAsigAlum("wwTableAsigAlum"),
      wwTableAulas("wwTableAulas"),
      wwTableGrupos("wwTableGrupos"),
      wwTableAlumnos("wwTableAlumnos"),
      wwTableHorGrup("wwTableHorGrup"),
      wwTableHorProf("wwTableHorProf"),
      wwTableSoluc("wwTableSoluc"),
      wwTableLhortipo("wwTableLhortipo") {
  setUp(wwTableAsignat, kComponentFolder, "asignat.dbf", true);
  setUp(wwTableCentro, kComponentFolder, "centro", true);
  setUp(wwTableProfesor, kComponentFolder, "profesor", true);
  setUp(wwTableAsigAlum, kComponentFolder, "asigalum", true);
  setUp(wwTableAulas, kComponentFolder, "aulas", true);
  setUp(wwTableGrupos, kComponentFolder, "grupos", true);
  setUp(wwTableAlumnos, kComponentFolder, "alumnos", true);
  setUp(wwTableHorGrup, kComponentFolder, "horgrup", true);
  setUp(wwTableHorProf, kComponentFolder, "horprof", true);
  setUp(wwTableSoluc, "c:\\ktemp", "SOLUC", true);
  setUp(wwTableLhortipo, kComponentFolder, "lhortipo", false);
}

std::vector<Table*> SchoolTables::all() {
  return {&wwTableAsignat, &wwTableCentro, &wwTableProfesor, &wwTableAsigAlum,
          &wwTableAulas,   &wwTableGrupos, &wwTableAlumnos,  &wwTableHorGrup,
          &wwTableHorProf, &wwTableSoluc,  &wwTableLhortipo};
}

void SchoolTables::closeAll() {
  for (Table* table : all()) table->close();
}

}  // namespace pasarela
