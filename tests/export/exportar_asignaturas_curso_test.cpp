#include <gtest/gtest.h>

#include <fstream>

#include "base/error.h"
#include "export/export_run.h"
#include "export_support.h"

namespace pasarela::test {
namespace {

class ExportarAsignaturasCursoTest : public ExportTest {};

TEST_F(ExportarAsignaturasCursoTest, OneRecordPerCatalogueRecordInSubjectCodeOrder) {
  writeSource("asignat", kAsignatFields,
              {{"3ESOMAT", "M3", "x", "4", "MAT"},
               {"1ESOING", "I1", "x", ",5", "ING"},
               {"2BACFIS", "F2", "x", "", "FIS"},
               {"1ESOING", "I1 bis", "x", "3", "ING"},
               {"1BACMAT", "M1", "x", "12", "MAT"}});
  ExportarAsignaturas(ctx);
  std::ofstream(ktemp() / "ASIGCURT.MDX") << "stale";
  ExportarAsignaturasCurso(ctx);

  const DbfContents asigcurt = output("ASIGCURT");
  ASSERT_EQ(asigcurt.fields.size(), 4u);
  ASSERT_EQ(asigcurt.size(), 5u);
  EXPECT_EQ(asigcurt.columnValues("NIVEL"), (std::vector<std::string>{"BAC", "ESO", "ESO", "BAC", "ESO"}));
  EXPECT_EQ(asigcurt.columnValues("CURSO"), (std::vector<std::string>{"1", "1", "1", "2", "3"}));
  EXPECT_EQ(asigcurt.columnValues("ASIG"), (std::vector<std::string>{"MAT", "ING", "ING", "FIS", "MAT"}));
  // Equal subject codes stand in the index's order; both are there.
  std::vector<std::string> hours = asigcurt.columnValues("HORAS");
  EXPECT_EQ(hours[0], "12");
  EXPECT_TRUE((hours[1] == "0.5" && hours[2] == "3") || (hours[1] == "3" && hours[2] == "0.5"));
  EXPECT_EQ(hours[3], "1");
  EXPECT_EQ(hours[4], "4");
  EXPECT_FALSE(interchangeExists("ASIGCURT.MDX"));
}

TEST_F(ExportarAsignaturasCursoTest, EmptyCatalogue) {
  writeSource("asignat", kAsignatFields, {});
  ExportarAsignaturas(ctx);
  ExportarAsignaturasCurso(ctx);
  const DbfContents asigcurt = output("ASIGCURT");
  EXPECT_EQ(asigcurt.size(), 0u);
  EXPECT_EQ(asigcurt.fields.size(), 4u);
}

TEST_F(ExportarAsignaturasCursoTest, CatalogueWithoutIndexStopsTheRun) {
  writeDbf(ktemp() / "ASIGVALT.DBF", "COD C(4); CODVALEN C(10); NIVEL C(5); CURSO C(3); NHORAS N(8,2)",
           {{"MAT", "1ESOMAT", "ESO", "1", 3.0}});
  EXPECT_THROW(ExportarAsignaturasCurso(ctx), Error);
}

}  // namespace
}  // namespace pasarela::test
