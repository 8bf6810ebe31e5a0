// The catalogue of the main window's table components.
#include "data/school_tables.h"
#include "base/error.h"
#include "support/drive_c.h"

namespace pasarela {
namespace {

TEST(SchoolTablesCatalogue, ComponentsAndTheirTables) {
  SchoolTables t;
  struct Expected {
    Table* table;
    const char* name;
    const char* folder;
    const char* tableName;
    bool exclusive;
  };
  const Expected expected[] = {
      {&t.wwTableAsignat, "wwTableAsignat", "c:\\ktemp\\vavovidi", "asignat.dbf", true},
      {&t.wwTableCentro, "wwTableCentro", "c:\\ktemp\\vavovidi", "centro", true},
      {&t.wwTableProfesor, "wwTableProfesor", "c:\\ktemp\\vavovidi", "profesor", true},
      {&t.wwTableAsigAlum, "wwTableAsigAlum", "c:\\ktemp\\vavovidi", "asigalum", true},
      {&t.wwTableAulas, "wwTableAulas", "c:\\ktemp\\vavovidi", "aulas", true},
      {&t.wwTableGrupos, "wwTableGrupos", "c:\\ktemp\\vavovidi", "grupos", true},
      {&t.wwTableAlumnos, "wwTableAlumnos", "c:\\ktemp\\vavovidi", "alumnos", true},
      {&t.wwTableHorGrup, "wwTableHorGrup", "c:\\ktemp\\vavovidi", "horgrup", true},
      {&t.wwTableHorProf, "wwTableHorProf", "c:\\ktemp\\vavovidi", "horprof", true},
      {&t.wwTableSoluc, "wwTableSoluc", "c:\\ktemp", "SOLUC", true},
      {&t.wwTableLhortipo, "wwTableLhortipo", "c:\\ktemp\\vavovidi", "lhortipo", false},
  };
  ASSERT_EQ(t.all().size(), std::size(expected));
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.name);
    EXPECT_EQ(e.table->name(), e.name);
    EXPECT_EQ(e.table->databaseName(), e.folder);
    EXPECT_EQ(e.table->tableName(), e.tableName);
    EXPECT_EQ(e.table->exclusive(), e.exclusive);
    EXPECT_FALSE(e.table->active());
    EXPECT_NE(std::find(t.all().begin(), t.all().end(), e.table), t.all().end());
  }
}

class SchoolTablesTest : public test::DriveCTest {};

TEST_F(SchoolTablesTest, FieldErrorsNameTheComponent) {
  Table aulas;
  aulas.setDatabaseName("C:\\KTEMP\\VAVOVIDI");
  std::filesystem::create_directories(host("KTEMP/VAVOVIDI"));
  aulas.setTableName("AULAS.DBF");
  aulas.createTable({{"CODAULA", FieldKind::String, 6}, {"LITAULA", FieldKind::String, 40}});
  SchoolTables t;
  t.wwTableAulas.open();
  EXPECT_TRUE(t.wwTableAulas.hasField("codaula"));
  try {
    t.wwTableAulas.fieldIndex("Capacidad");
    FAIL() << "found a missing field";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "wwTableAulas: No se encuentra el campo 'Capacidad'");
  }
  t.closeAll();
  EXPECT_FALSE(t.wwTableAulas.active());
}

}  // namespace
}  // namespace pasarela
