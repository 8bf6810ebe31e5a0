#include <gtest/gtest.h>

#include <fstream>

#include "base/error.h"
#include "export/export_run.h"
#include "export_support.h"

namespace pasarela::test {
namespace {

class ExportarAulasTest : public ExportTest {};

TEST_F(ExportarAulasTest, CopiesEveryRoomAsItIs) {
  writeSource("aulas", kAulasFields,
              {{"A01", "Aula primera"},
               {"A01", "Aula repetida"},
               {"", "Sense codi"},
               {"LAB123", "Laboratori de Ciències Naturals i Química del segon pis"},
               {"Z9", "Última"}});
  ExportarAulas(ctx);
  const DbfContents aulat = output("AULAT");
  ASSERT_EQ(aulat.size(), 5u);
  EXPECT_EQ(aulat.columnValues("ABREV"), (std::vector<std::string>{"A01", "A01", "", "LAB1", "Z9"}));
  EXPECT_EQ(aulat.columnValues("NOMBRE"),
            (std::vector<std::string>{"Aula primera", "Aula repetida", "Sense codi",
                                      "Laboratori de Ciències Naturals i Químic", "Última"}));
  EXPECT_EQ(aulat.columnValues("EDIFICIO"), std::vector<std::string>(5, "1"));
  EXPECT_EQ(aulat.columnValues("MAXALUM"), std::vector<std::string>(5, "0")) << "a stored zero, not empty";
}

TEST_F(ExportarAulasTest, EmptyRoomsAndLeftoverIndex) {
  writeSource("aulas", kAulasFields, {});
  writeDbf(ktemp() / "AULAT.DBF", "OLD C(3)", {{"old"}});
  std::ofstream(ktemp() / "AULAT.MDX") << "stale";
  ExportarAulas(ctx);
  const DbfContents aulat = output("AULAT");
  EXPECT_EQ(aulat.size(), 0u);
  ASSERT_EQ(aulat.fields.size(), 4u);
  EXPECT_EQ(aulat.fields[0].name, "ABREV");
  EXPECT_EQ(aulat.fields[3].name, "MAXALUM");
  EXPECT_FALSE(interchangeExists("AULAT.MDX"));
}

TEST_F(ExportarAulasTest, MissingRoomTableStopsTheExport) { EXPECT_THROW(ExportarAulas(ctx), Error); }

}  // namespace
}  // namespace pasarela::test
