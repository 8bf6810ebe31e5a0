// The sample school staged as the main window does at start-up: every
// component opens on its copy, without the index files left behind.
#include "data/school_tables.h"
#include "data/staging.h"
#include "base/error.h"
#include "sample_fixture.h"

namespace pasarela {
namespace {

using test::SampleTest;

TEST_F(SampleTest, StagedSampleOpensInEveryComponent) {
  const sample::SampleCounts counts = sample::writeSampleSchool("C:\\OB", {});
  SchoolTables tables;
  CopiarDatosOrigen(tables, "C:\\OB");
  const std::pair<Table*, const char*> staged[] = {
      {&tables.wwTableAsignat, "asignat.dbf"},   {&tables.wwTableCentro, "centro.dbf"},
      {&tables.wwTableProfesor, "profesor.dbf"}, {&tables.wwTableAsigAlum, "asigalum.dbf"},
      {&tables.wwTableAulas, "aulas.dbf"},       {&tables.wwTableGrupos, "grupos.dbf"},
      {&tables.wwTableAlumnos, "alumnos.dbf"},   {&tables.wwTableHorGrup, "horgrup.dbf"},
      {&tables.wwTableLhortipo, "lhortipo.dbf"}};
  for (const auto& [table, file] : staged) {
    SCOPED_TRACE(file);
    ASSERT_NO_THROW(table->open());
    EXPECT_EQ(table->recordCount(), count(counts, file));
  }
  // The memo file travelled with the students.
  int notes = 0;
  for (tables.wwTableAlumnos.first(); !tables.wwTableAlumnos.eof(); tables.wwTableAlumnos.next())
    notes += tables.wwTableAlumnos.asString("Obs").empty() ? 0 : 1;
  EXPECT_GT(notes, 100);
  // The teachers' timetable is staged by the import only.
  EXPECT_THROW(tables.wwTableHorProf.open(), Error);
  tables.closeAll();
}

}  // namespace
}  // namespace pasarela
