#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "base/error.h"
#include "data/table.h"
#include "export/export_run.h"
#include "export_support.h"

namespace pasarela::test {
namespace {

class ExportarAlumnosTest : public ExportTest {
 protected:
  // ASIGVALT.DBF with its indexes, written by the subject export.
  void writeCatalogue(const std::vector<std::pair<std::string, std::string>>& subjects) {
    std::vector<Row> rows;
    for (const auto& [codasig, litresv] : subjects) rows.push_back({codasig, "V", "C", "3", litresv});
    writeSource("asignat", kAsignatFields, rows);
    ExportarAsignaturas(ctx);
  }
  void writeGroups(const std::vector<Row>& rows = {{"1ESOA", "M"}}) {
    writeSource("grupos", kGruposFields, rows);
  }
  std::vector<std::string> subjectsOf(const DbfContents& alumnost, std::size_t record) {
    std::vector<std::string> subjects;
    for (int n = 1; n <= 50; ++n) {
      const std::string code = alumnost.at(record, "ASIG" + std::to_string(n));
      if (!code.empty()) subjects.push_back(code);
      EXPECT_EQ(alumnost.at(record, "DIV" + std::to_string(n)), "");
    }
    return subjects;
  }
};

TEST_F(ExportarAlumnosTest, WorkedExample) {
  writeCatalogue({{"MAT", "MA"}, {"ING", "IN"}});
  writeGroups({{"1ESOA", "M"}});
  writeSource("alumnos", kAlumnosFields, {{"Pérez Gómez, Núria", "1234", "1ESO", "1ESOA", 0}});
  writeSource("asigalum", kAsigAlumFields, {{"1234", "MAT"}, {"1234", "XYZ"}, {"1234", "ING"}});
  ExportarAlumnos(ctx);

  const DbfContents alumnost = output("ALUMNOST");
  ASSERT_EQ(alumnost.size(), 1u);
  EXPECT_EQ(alumnost.at(0, "EXPED"), "1234");
  EXPECT_EQ(alumnost.at(0, "NOMBRE"), "Pérez Gómez, Núria");
  EXPECT_EQ(alumnost.at(0, "TURNO"), "M");
  EXPECT_EQ(alumnost.at(0, "NIVEL"), "ESO");
  EXPECT_EQ(alumnost.at(0, "CURSO"), "1");
  EXPECT_EQ(alumnost.at(0, "GRUPO"), "A");
  EXPECT_EQ(alumnost.at(0, "OPCION"), "");
  EXPECT_EQ(alumnost.at(0, "REPITE"), "F");
  EXPECT_EQ(alumnost.at(0, "ASIG1"), "MA");
  EXPECT_EQ(alumnost.at(0, "ASIG2"), "IN");
  EXPECT_EQ(subjectsOf(alumnost, 0), (std::vector<std::string>{"MA", "IN"}));
  EXPECT_FALSE(interchangeExists("ALUMNOST.MDX"));

  // The enrolment component is left with the last student's filter.
  EXPECT_EQ(tables.wwTableAsigAlum.filter(), "Codigo= '1234      '");
  EXPECT_TRUE(tables.wwTableAsigAlum.filtered());
  EXPECT_FALSE(tables.wwTableAsigAlum.active());
}

TEST_F(ExportarAlumnosTest, TableHasItsFieldsInOrder) {
  writeCatalogue({});
  writeGroups();
  writeSource("alumnos", kAlumnosFields, {});
  writeSource("asigalum", kAsigAlumFields, {});
  ExportarAlumnos(ctx);
  const DbfContents alumnost = output("ALUMNOST");
  EXPECT_EQ(alumnost.size(), 0u);
  ASSERT_EQ(alumnost.fields.size(), 108u);
  const std::vector<std::string> fixed = {"EXPED", "NOMBRE", "TURNO",  "NIVEL",
                                          "CURSO", "GRUPO",  "OPCION", "REPITE"};
  for (std::size_t i = 0; i < fixed.size(); ++i) EXPECT_EQ(alumnost.fields[i].name, fixed[i]);
  EXPECT_EQ(alumnost.fields[7].type, 'L');
  for (int n = 1; n <= 50; ++n) {
    EXPECT_EQ(alumnost.fields[6 + 2 * n].name, "ASIG" + std::to_string(n));
    EXPECT_EQ(alumnost.fields[6 + 2 * n].length, 4);
    EXPECT_EQ(alumnost.fields[7 + 2 * n].name, "DIV" + std::to_string(n));
    EXPECT_EQ(alumnost.fields[7 + 2 * n].length, 1);
  }
}

TEST_F(ExportarAlumnosTest, ShiftComesFromTheFirstGroupMeetingEitherTest) {
  writeCatalogue({});
  writeGroups({{"2BACB", "T"},
               {"1ESOB", "V"},  // first four characters are 1ESO: course match
               {"1ESOA", "M"},  // exact match, but later
               {"3ESOA", "N"},
               {"3ESOA", "X"},  // a later exact match loses to the first
               {"4E", "P"}});   // shorter than four characters
  writeSource("alumnos", kAlumnosFields,
              {{"Un", "A1", "1ESO", "1ESOA", 0},
               {"Dos", "A2", "9ZZZ", "3ESOA", 0},
               {"Tres", "A3", "9ZZZ", "9ZZZA", 0},
               {"Quatre", "A4", "4E", "4EA", 0},
               {"Cinc", "A5", "2BAC", "9ZZZA", 0}});
  writeSource("asigalum", kAsigAlumFields, {});
  ExportarAlumnos(ctx);
  EXPECT_EQ(output("ALUMNOST").columnValues("TURNO"), (std::vector<std::string>{"V", "N", "", "P", "T"}));
}

TEST_F(ExportarAlumnosTest, StudentsWithoutGroupAreLeftOut) {
  writeCatalogue({});
  writeGroups();
  writeSource("alumnos", kAlumnosFields,
              {{"Sense grup", "A1", "1ESO", "", 0},
               {"Un caràcter", "A2", "1ESO", "1", 0},
               {"Dos caràcters", "A3", "1ESO", "1E", 0},
               {"Últim", "A4", "1ESO", "1ESOB", 0}});
  writeSource("asigalum", kAsigAlumFields, {});
  ExportarAlumnos(ctx);
  const DbfContents alumnost = output("ALUMNOST");
  EXPECT_EQ(alumnost.columnValues("EXPED"), (std::vector<std::string>{"A3", "A4"}));
  EXPECT_EQ(alumnost.at(0, "NIVEL"), "E");
  EXPECT_EQ(alumnost.at(0, "GRUPO"), "E");
}

TEST_F(ExportarAlumnosTest, RepeaterMarkIsTrueOnlyForOne) {
  writeCatalogue({});
  writeGroups();
  writeSource("alumnos", kAlumnosFields,
              {{"a", "A1", "1ESO", "1ESOA", 1},
               {"b", "A2", "1ESO", "1ESOA", 0},
               {"c", "A3", "1ESO", "1ESOA", 2},
               {"d", "A4", "1ESO", "1ESOA", nullptr}});
  writeSource("asigalum", kAsigAlumFields, {});
  ExportarAlumnos(ctx);
  EXPECT_EQ(output("ALUMNOST").columnValues("REPITE"), (std::vector<std::string>{"T", "F", "F", "F"}));
}

TEST_F(ExportarAlumnosTest, EnrolmentsFillSlotsWithoutGaps) {
  writeCatalogue({{"MAT", "MA"}, {"ING", "IN"}, {"VAL", "VA"}, {" FIS", "FI"}});
  writeGroups();
  writeSource("alumnos", kAlumnosFields,
              {{"a", "A1", "1ESO", "1ESOA", 0},
               {"b", "A2", "1ESO", "1ESOA", 0},
               {"c", "a1", "1ESO", "1ESOA", 0},
               {"d", "O'Neil", "1ESO", "1ESOA", 0}});
  writeSource("asigalum", kAsigAlumFields,
              {{"A2", "VAL"},
               {"A1", "ING"},
               {"A1", "NOPE"},
               {"A2", "FIS"},  // the catalogue key has a leading blank
               {"A1", "ING"},  // enrolled twice
               {"A1", "MAT"},
               {"A2", " FIS"},
               {"O'Neil", "MAT"},
               {"A10", "MAT"}});
  ExportarAlumnos(ctx);
  const DbfContents alumnost = output("ALUMNOST");
  ASSERT_EQ(alumnost.size(), 4u);
  EXPECT_EQ(subjectsOf(alumnost, 0), (std::vector<std::string>{"IN", "IN", "MA"}));
  EXPECT_EQ(alumnost.at(0, "ASIG3"), "MA");
  EXPECT_EQ(subjectsOf(alumnost, 1), (std::vector<std::string>{"VA", "FI"}));
  EXPECT_EQ(subjectsOf(alumnost, 2), std::vector<std::string>{}) << "codes differ in letter case";
  EXPECT_EQ(subjectsOf(alumnost, 3), (std::vector<std::string>{"MA"}));
  EXPECT_EQ(tables.wwTableAsigAlum.filter(), "Codigo= 'O''Neil    '");
}

TEST_F(ExportarAlumnosTest, EnrolmentsAreThoseTheStudentFilterSelects) {
  writeCatalogue({{"MAT", "MA"}, {"ING", "IN"}, {"VAL", "VA"}});
  writeGroups();
  writeSource("alumnos", kAlumnosFields,
              {{"a", "A1", "1ESO", "1ESOA", 0},
               {"b", " A1", "1ESO", "1ESOA", 0},
               {"c", "A10", "1ESO", "1ESOA", 0},
               {"d", "O'Neil", "1ESO", "1ESOA", 0}});
  writeSource("asigalum", kAsigAlumFields,
              {{"A1", "MAT"},
               {" A1", "ING"},
               {"A10", "VAL"},
               {"a1", "VAL"},
               {"A1", "VAL"},
               {"O'Neil", "ING"},
               {" A1", "MAT"}});
  ExportarAlumnos(ctx);
  const DbfContents alumnost = output("ALUMNOST");
  ASSERT_EQ(alumnost.size(), 4u);

  // Each student's enrolments as the engine's filter with the student's
  // filter text selects them, looked up in the catalogue.
  Table& asigalum = tables.wwTableAsigAlum;
  const std::map<std::string, std::string> catalogue = {{"MAT", "MA"}, {"ING", "IN"}, {"VAL", "VA"}};
  for (std::size_t i = 0; i < alumnost.size(); ++i) {
    std::string code = alumnost.at(i, "EXPED"), quoted;
    code.resize(std::max<std::size_t>(code.size(), 10), ' ');
    for (char c : code) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    asigalum.close();
    asigalum.setFiltered(false);
    asigalum.setFilter("Codigo= '" + quoted + "'");
    asigalum.setFiltered(true);
    asigalum.open();
    std::vector<std::string> expected;
    for (asigalum.first(); !asigalum.eof(); asigalum.next())
      if (auto it = catalogue.find(asigalum.asString("Codasig")); it != catalogue.end())
        expected.push_back(it->second);
    asigalum.close();
    EXPECT_EQ(subjectsOf(alumnost, i), expected) << "student '" << alumnost.at(i, "EXPED") << "'";
  }
  EXPECT_EQ(subjectsOf(alumnost, 0), (std::vector<std::string>{"MA", "VA"}));
  EXPECT_EQ(subjectsOf(alumnost, 1), (std::vector<std::string>{"IN", "MA"}));
}

TEST_F(ExportarAlumnosTest, FiftySubjectsFitAndTheFiftyFirstStopsTheRun) {
  std::vector<std::pair<std::string, std::string>> catalogue;
  for (int i = 1; i <= 51; ++i) catalogue.push_back({"S" + std::to_string(i), std::to_string(i)});
  writeCatalogue(catalogue);
  writeGroups();
  writeSource("alumnos", kAlumnosFields,
              {{"fifty", "F50", "1ESO", "1ESOA", 0}, {"fifty-one", "F51", "1ESO", "1ESOA", 0}});
  std::vector<Row> enrolments;
  for (int i = 1; i <= 50; ++i) enrolments.push_back({"F50", "S" + std::to_string(i)});
  for (int i = 1; i <= 51; ++i) enrolments.push_back({"F51", "S" + std::to_string(i)});
  writeSource("asigalum", kAsigAlumFields, enrolments);
  try {
    ExportarAlumnos(ctx);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "No se encuentra el campo 'ASIG51'");
  }
  tables.closeAll();
  const DbfContents alumnost = output("ALUMNOST");
  ASSERT_EQ(alumnost.size(), 1u);
  EXPECT_EQ(alumnost.at(0, "EXPED"), "F50");
  EXPECT_EQ(alumnost.at(0, "ASIG50"), "50");
}

TEST_F(ExportarAlumnosTest, MissingCatalogueStopsTheRun) {
  writeGroups();
  writeSource("alumnos", kAlumnosFields, {});
  writeSource("asigalum", kAsigAlumFields, {});
  EXPECT_THROW(ExportarAlumnos(ctx), Error);
}

}  // namespace
}  // namespace pasarela::test
