#include <gtest/gtest.h>

#include <fstream>

#include "base/error.h"
#include "export/export_run.h"
#include "export_support.h"

namespace pasarela::test {
namespace {

class ExportarGruposTest : public ExportTest {};

TEST_F(ExportarGruposTest, WorkedExample) {
  writeSource("grupos", kGruposFields, {{"1ESOA", "M"}});
  ExportarGrupos(ctx);
  const DbfContents grupost = output("GRUPOST");
  ASSERT_EQ(grupost.size(), 1u);
  EXPECT_EQ(grupost.records[0], (std::vector<std::string>{"EO1A", "M", "ESO", "1", "A", "M ESO 1 A"}));
  const DbfContents cursost = output("CURSOST");
  ASSERT_EQ(cursost.size(), 1u);
  EXPECT_EQ(cursost.records[0], (std::vector<std::string>{"ME1", "M", "ESO", "1"}));
}

TEST_F(ExportarGruposTest, DistinctGroupsAndCoursesInOrderOfFirstOccurrence) {
  writeSource("grupos", kGruposFields,
              {{"1ESOA", "M"},
               {"1ESOB", "M"},  // same course, new group
               {"1ESOA", "M"},  // repeat
               {"1ESOA", "T"},  // same code, other shift
               {"1esoa", "M"},  // letter case differs
               {"", "M"},       // no group
               {"2", "M"},      // no level
               {"1BA", ""},     // short level, no shift
               {"2BACH", "V"}});
  ExportarGrupos(ctx);
  const DbfContents grupost = output("GRUPOST");
  EXPECT_EQ(grupost.columnValues("ABREV"),
            (std::vector<std::string>{"EO1A", "EO1B", "EO1A", "eo1a", "B1A", "BC2H"}));
  EXPECT_EQ(grupost.columnValues("TURNO"), (std::vector<std::string>{"M", "M", "T", "M", "", "V"}));
  EXPECT_EQ(grupost.columnValues("DESCRIP"), (std::vector<std::string>{"M ESO 1 A", "M ESO 1 B", "T ESO 1 A",
                                                                       "M eso 1 a", " BA 1 A", "V BAC 2 H"}));
  const DbfContents cursost = output("CURSOST");
  EXPECT_EQ(cursost.columnValues("ABREV"), (std::vector<std::string>{"ME1", "TE1", "Me1", "B1", "VB2"}));
  EXPECT_EQ(cursost.columnValues("NIVEL"), (std::vector<std::string>{"ESO", "ESO", "eso", "BA", "BAC"}));
}

TEST_F(ExportarGruposTest, ShiftLongerThanItsFieldNeverMatches) {
  // "MT" is stored as "M": its own repeats never match the stored record,
  // but a later group of shift "M" does.
  writeSource("grupos", kGruposFields, {{"1ESOA", "MT"}, {"1ESOA", "MT"}, {"1ESOA", "M"}});
  ExportarGrupos(ctx);
  const DbfContents grupost = output("GRUPOST");
  EXPECT_EQ(grupost.columnValues("TURNO"), (std::vector<std::string>{"M", "M"}));
  EXPECT_EQ(grupost.columnValues("DESCRIP"), (std::vector<std::string>{"MT ESO 1 A", "MT ESO 1 A"}));
  const DbfContents cursost = output("CURSOST");
  EXPECT_EQ(cursost.columnValues("ABREV"), (std::vector<std::string>{"MTE", "MTE"}));
}

TEST_F(ExportarGruposTest, EmptyGroupsAndLeftoverIndexes) {
  writeSource("grupos", kGruposFields, {});
  std::ofstream(ktemp() / "GRUPOST.MDX") << "stale";
  std::ofstream(ktemp() / "CURSOST.MDX") << "stale";
  ExportarGrupos(ctx);
  EXPECT_EQ(output("GRUPOST").size(), 0u);
  EXPECT_EQ(output("GRUPOST").fields.size(), 6u);
  EXPECT_EQ(output("CURSOST").size(), 0u);
  EXPECT_EQ(output("CURSOST").fields.size(), 4u);
  EXPECT_FALSE(interchangeExists("GRUPOST.MDX"));
  EXPECT_FALSE(interchangeExists("CURSOST.MDX"));
}

TEST_F(ExportarGruposTest, MissingShiftFieldStopsTheRun) {
  writeSource("grupos", "CODGRUP C(5)", {{"1ESOA"}});
  try {
    ExportarGrupos(ctx);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "wwTableGrupos: No se encuentra el campo 'Turno'");
  }
}

}  // namespace
}  // namespace pasarela::test
