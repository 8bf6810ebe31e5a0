// The stand-in generator places lessons without clashes and writes a
// SOLUC.DBF that an independent reader understands.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

#include "import_fixture.h"
#include "sample/fake_solution.h"

namespace pasarela::test {
namespace {

using sample::Assignment;
using sample::FakeSolutionOptions;
using sample::planTimetable;

TEST(FakeSolution, NoTeacherOrRoomHoldsTwoLessonsAtOnceNorAGroupMoreThanAllowed) {
  std::vector<Assignment> work;
  for (int g = 0; g < 6; ++g)
    for (int t = 0; t < 5; ++t)
      work.push_back({"S" + std::to_string(t), "T" + std::to_string((g + t) % 7), "ESO", "1",
                      std::string(1, 'A' + g), 4});
  FakeSolutionOptions options;
  options.slotsPerDay = 6;
  options.groupParallel = 2;
  auto rows = planTimetable(work, {"R1", "R2", "R3", "R4", "R5"}, options);
  long lessons = 0;
  for (auto& a : work) lessons += a.sessions;
  ASSERT_EQ(static_cast<long>(rows.size()), lessons);
  std::set<std::tuple<std::string, int, int>> teacher, room;
  std::map<std::tuple<std::string, int, int>, int> group;
  for (auto& r : rows) {
    if (r.dia == 0) continue;
    EXPECT_GE(r.dia, 1);
    EXPECT_LE(r.dia, 5);
    EXPECT_GE(r.hora, 1);
    EXPECT_LE(r.hora, 6);
    EXPECT_TRUE(teacher.insert({r.prof, r.dia, r.hora}).second) << r.prof;
    EXPECT_LE((++group[std::make_tuple(r.nivel + r.curso + r.grupo, r.dia, r.hora)]), 2);
    EXPECT_TRUE(room.insert({r.aula, r.dia, r.hora}).second);
  }
}

TEST(FakeSolution, LessonsThatDoNotFitAreLeftWithoutADay) {
  // One group, 2 days of 2 slots, 6 lessons: two cannot be placed.
  auto rows = planTimetable({{"MAT", "T1", "ESO", "1", "A", 3}, {"LEN", "T2", "ESO", "1", "A", 3}}, {"R1"},
                            FakeSolutionOptions{1, 2, 2, 1});
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](auto& r) { return r.dia == 0; }), 2);
}

TEST(FakeSolution, TheSameSeedGivesTheSameTimetable) {
  std::vector<Assignment> work{{"MAT", "T1", "ESO", "1", "A", 3}, {"LEN", "T1", "ESO", "1", "B", 3}};
  auto a = planTimetable(work, {"R1"}, {5, 5, 6});
  auto b = planTimetable(work, {"R1"}, {5, 5, 6});
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) EXPECT_TRUE(a[i].dia == b[i].dia && a[i].hora == b[i].hora);
}

class FakeSolutionFile : public ImportTest {};

TEST_F(FakeSolutionFile, SolucDbfHasTheGeneratorsFields) {
  writeSoluc({{1, 2, "A1", "GPJ", "ESO", "1", "MAT", "A"}, {0, 0, "", "AB", "BA", "2", "LEN", "B"}});
  auto soluc = readBack("C:\\KTEMP\\SOLUC.DBF");
  EXPECT_THAT(soluc.fields,
              ::testing::ElementsAre("DIA", "HORA", "AULA", "PROF", "NIVEL", "CURSO", "ASIG", "GRUPO"));
  ASSERT_EQ(soluc.rows.size(), 2u);
  EXPECT_EQ(soluc.rows[0]["DIA"], "1");
  EXPECT_EQ(soluc.rows[0]["HORA"], "2");
  EXPECT_EQ(soluc.rows[0]["PROF"], "GPJ");
  EXPECT_EQ(soluc.rows[1]["DIA"], "0");
  EXPECT_EQ(soluc.rows[1]["GRUPO"], "B");
}

}  // namespace
}  // namespace pasarela::test
