#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "base/error.h"
#include "export/export_run.h"
#include "export/exportar_profesores.h"
#include "export_support.h"

namespace pasarela::test {
namespace {

TEST(LetrasTrasSeparador, CharacterAfterEachSeparator) {
  EXPECT_EQ(LetrasTrasSeparador("García Pérez Juan", " "), "PJ");
  EXPECT_EQ(LetrasTrasSeparador("García", " "), "");
  EXPECT_EQ(LetrasTrasSeparador("", " "), "");
  EXPECT_EQ(LetrasTrasSeparador("Juan ", " "), "") << "a separator at the end adds nothing";
  EXPECT_EQ(LetrasTrasSeparador("a  b", " "), " b") << "a separator after a separator adds it";
  EXPECT_EQ(LetrasTrasSeparador("Ana Óscar Ñu", " "), "ÓÑ");
  EXPECT_EQ(LetrasTrasSeparador("a, b, c", ","), "  ");
  EXPECT_EQ(LetrasTrasSeparador("a  b  c", "  "), "") << "only a one-character separator matches";
}

TEST(TeacherAbbreviation, InitialsOfTheFirstThreeWords) {
  using exporting::teacherAbbreviation;
  EXPECT_EQ(teacherAbbreviation("García"), "G");
  EXPECT_EQ(teacherAbbreviation("García Pérez Juan"), "GPJ");
  EXPECT_EQ(teacherAbbreviation("García Pérez de la Fuente"), "GPd");
  EXPECT_EQ(teacherAbbreviation("García,Pérez,Juan"), "G");
  EXPECT_EQ(teacherAbbreviation("Álvarez Ñúñez, Óscar"), "ÁÑÓ");
  EXPECT_EQ(teacherAbbreviation("García  Pérez"), "G P");
  EXPECT_EQ(teacherAbbreviation(" García Pérez"), " GP");
  EXPECT_EQ(teacherAbbreviation(""), "");
}

class ExportarProfesoresTest : public ExportTest {
 protected:
  // Teachers without leaving date, numbered 1, 2, ... as identity numbers.
  void writeTeachers(const std::vector<std::string>& names) {
    std::vector<Row> rows;
    int dni = 1;
    for (const std::string& name : names) rows.push_back({name, "Dep", dni++, nullptr});
    writeSource("profesor", kProfesorFields, rows);
  }
  std::vector<std::string> abbreviations() { return output("PROFT").columnValues("ABREV"); }
};

TEST_F(ExportarProfesoresTest, WritesTheTeachersStillAtTheSchool) {
  writeSource("profesor", kProfesorFields,
              {{"García Pérez Juan", "Matemàtiques", 11111111, nullptr},
               {"Left Teacher Gone", "Física", 22222222, "2020-06-30"},
               {"No Number Left", "Física", 0, "2020-06-30"},
               {"Empty Number Left", "Física", nullptr, "2020-06-30"},
               {"", "Sense nom", 33333333, "2020-06-30"},
               {"Una professora amb un nom molt llarg que no cap",
                "Departament de Llengua i Literatura Valenciana", 44444444, nullptr},
               {"Last One", "", 55555555, nullptr}});
  ExportarProfesores(ctx);
  const DbfContents proft = output("PROFT");
  ASSERT_EQ(proft.size(), 6u);
  EXPECT_EQ(proft.columnValues("NOMBRE"),
            (std::vector<std::string>{"García Pérez Juan", "No Number Left", "Empty Number Left", "",
                                      "Una professora amb un nom molt llarg que", "Last One"}));
  EXPECT_EQ(proft.columnValues("DNI"),
            (std::vector<std::string>{"11111111", "0", "0", "33333333", "44444444", "55555555"}));
  EXPECT_EQ(proft.columnValues("DEPART"),
            (std::vector<std::string>{"Matemàtiques", "Física", "Física", "Sense nom",
                                      "Departament de Llengua i Literatura Vale", ""}));
  EXPECT_EQ(proft.columnValues("ABREV"), (std::vector<std::string>{"GPJ", "NNL", "ENL", "", "Upa", "LO"}));
  EXPECT_FALSE(interchangeExists("PROFT.MDX"));
}

TEST_F(ExportarProfesoresTest, TableHasItsFourFieldsWhenEveryoneHasLeft) {
  writeSource("profesor", kProfesorFields, {{"Gone Away", "X", 1, "2019-01-01"}});
  std::ofstream(ktemp() / "PROFT.MDX") << "stale";
  ExportarProfesores(ctx);
  const DbfContents proft = output("PROFT");
  EXPECT_EQ(proft.size(), 0u);
  ASSERT_EQ(proft.fields.size(), 4u);
  EXPECT_EQ(proft.fields[0].name, "ABREV");
  EXPECT_EQ(proft.fields[3].name, "DNI");
  EXPECT_FALSE(interchangeExists("PROFT.MDX"));
}

TEST_F(ExportarProfesoresTest, RepeatsAreNumberedInPhysicalOrder) {
  writeTeachers({"Gil Pons Joan", "Aina Bo", "Gil Puig Jaume", "Anna Barba", "García Pla Julia"});
  ExportarProfesores(ctx);
  EXPECT_EQ(abbreviations(), (std::vector<std::string>{"GPJ", "AB", "GPJ2", "AB2", "GPJ3"}));
}

TEST_F(ExportarProfesoresTest, EmptyNamesAndLetterCase) {
  writeTeachers({"", "Gil pons", "", "Gil Pons", ""});
  ExportarProfesores(ctx);
  EXPECT_EQ(abbreviations(), (std::vector<std::string>{"", "Gp", "2", "GP", "3"}));
}

TEST_F(ExportarProfesoresTest, NumberedValueMeetingAnotherTeachersValueIsNumberedAgain) {
  // The second "AB" becomes AB2 and then meets the teacher whose own
  // abbreviation is AB2: that teacher, later in order, becomes AB22.
  writeTeachers({"Ana Bo", "Alba Bas", "Abel Bru 2a"});
  ExportarProfesores(ctx);
  EXPECT_EQ(abbreviations(), (std::vector<std::string>{"AB", "AB2", "AB22"}));
}

TEST_F(ExportarProfesoresTest, NineSharersAreNumberedTwoToNine) {
  writeTeachers(std::vector<std::string>(9, "Gil Pons Joan"));
  ExportarProfesores(ctx);
  EXPECT_EQ(abbreviations(), (std::vector<std::string>{"GPJ", "GPJ2", "GPJ3", "GPJ4", "GPJ5", "GPJ6", "GPJ7",
                                                       "GPJ8", "GPJ9"}));
}

TEST_F(ExportarProfesoresTest, MoreThanNineSharersStillGetUniqueAbbreviations) {
  std::vector<std::string> names(25, "Gil Pons Joan");
  names.push_back("Gran Pla");    // GP
  names.push_back("Gil Pons 1");  // GP1
  writeTeachers(names);
  ExportarProfesores(ctx);
  const std::vector<std::string> result = abbreviations();
  ASSERT_EQ(result.size(), 27u);
  // The first ten keep what numbering gives them.
  EXPECT_EQ(std::vector<std::string>(result.begin(), result.begin() + 10),
            (std::vector<std::string>{"GPJ", "GPJ2", "GPJ3", "GPJ4", "GPJ5", "GPJ6", "GPJ7", "GPJ8", "GPJ9",
                                      "GPJ1"}));
  EXPECT_EQ(result[25], "GP");
  EXPECT_EQ(result[26], "GP1");
  const std::set<std::string> distinct(result.begin(), result.end());
  EXPECT_EQ(distinct.size(), result.size());
  for (const std::string& value : result) EXPECT_LE(value.size(), 4u) << value;
}

TEST_F(ExportarProfesoresTest, ManyEmptyNamesStayUnique) {
  writeTeachers(std::vector<std::string>(120, ""));
  ExportarProfesores(ctx);
  const std::vector<std::string> result = abbreviations();
  EXPECT_EQ(result[0], "");
  EXPECT_EQ(result[1], "2");
  EXPECT_EQ(result[99], "100");
  const std::set<std::string> distinct(result.begin(), result.end());
  EXPECT_EQ(distinct.size(), result.size());
}

TEST_F(ExportarProfesoresTest, MissingDepartmentFieldStopsTheExport) {
  writeSource("profesor", "APENOMPROF C(40); DNI N(10,0); FBAJA D", {{"Gil Pons Joan", 1, nullptr}});
  EXPECT_THROW(ExportarProfesores(ctx), Error);
}

}  // namespace
}  // namespace pasarela::test
