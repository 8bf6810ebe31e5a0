// The sample school: sizes, the data the export rules need, determinism.
#include <algorithm>
#include <map>
#include <set>

#include "sample_fixture.h"

namespace pasarela {
namespace {

using test::SampleTest;

const char* const kTables[] = {"asignat.dbf", "centro.dbf",  "profesor.dbf", "asigalum.dbf", "aulas.dbf",
                               "grupos.dbf",  "alumnos.dbf", "horgrup.dbf",  "horprof.dbf",  "lhortipo.dbf"};

// The export's teacher abbreviation: the first character and the one after
// every blank, cut to three (characters, not bytes).
std::string abbreviation(const std::string& name) {
  std::vector<std::string> chars;
  for (std::size_t i = 0; i < name.size();) {
    std::size_t n = 1;
    auto b = static_cast<unsigned char>(name[i]);
    if (b >= 0xF0)
      n = 4;
    else if (b >= 0xE0)
      n = 3;
    else if (b >= 0xC0)
      n = 2;
    chars.push_back(name.substr(i, n));
    i += n;
  }
  std::string out = chars.empty() ? "" : chars[0];
  int taken = chars.empty() ? 0 : 1;
  for (std::size_t i = 0; i + 1 < chars.size() && taken < 3; ++i)
    if (chars[i] == " ") {
      out += chars[i + 1];
      ++taken;
    }
  return out;
}

TEST_F(SampleTest, ScaleOneHasTheSizeOfAMediumSchoolAndOpensInTheEngine) {
  sample::SampleOptions options;
  options.seed = 11;
  const sample::SampleCounts counts = sample::writeSampleSchool("C:\\OB", options);
  ASSERT_EQ(counts.size(), std::size(kTables));
  EXPECT_EQ(count(counts, "profesor.dbf"), 60u);
  EXPECT_EQ(count(counts, "asignat.dbf"), 300u);
  EXPECT_EQ(count(counts, "grupos.dbf"), 40u);
  const std::size_t students = count(counts, "alumnos.dbf");
  EXPECT_GE(students, 760u);
  EXPECT_LE(students, 840u);
  const double perStudent =
      static_cast<double>(count(counts, "asigalum.dbf")) / static_cast<double>(students);
  EXPECT_GE(perStudent, 8.0);
  EXPECT_LE(perStudent, 12.0);
  EXPECT_GE(count(counts, "horgrup.dbf"), 2400u);
  EXPECT_LE(count(counts, "horgrup.dbf"), 3500u);
  EXPECT_EQ(count(counts, "centro.dbf"), 2u);
  for (const char* file : kTables) {
    SCOPED_TRACE(file);
    Table t;
    t.setDatabaseName("C:\\OB");
    t.setTableName(file);
    t.open();
    EXPECT_EQ(t.recordCount(), count(counts, file));
  }
  EXPECT_TRUE(std::filesystem::exists(root_ / "OB" / "alumnos.fpt"));
}

TEST_F(SampleTest, LargerScalesMultiplyTheSchool) {
  sample::SampleOptions options;
  options.scale = 2;
  const sample::SampleCounts counts = sample::writeSampleSchool("C:\\OB", options);
  EXPECT_EQ(count(counts, "profesor.dbf"), 120u);
  EXPECT_EQ(count(counts, "asignat.dbf"), 600u);
  EXPECT_EQ(count(counts, "grupos.dbf"), 80u);
  EXPECT_GE(count(counts, "alumnos.dbf"), 2 * 760u);
  EXPECT_GE(count(counts, "horgrup.dbf"), 2 * 2400u);
  // More than nine teachers share one abbreviation from scale 2 on.
  std::map<std::string, int> sharers;
  forEach("C:\\OB", "profesor", [&](Table& t) { ++sharers[abbreviation(t.asString("Apenomprof"))]; });
  int most = 0;
  for (const auto& [abbrev, n] : sharers) most = std::max(most, n);
  EXPECT_GT(most, 9);
}

// The generator's room table keeps 4 characters of a room code: every room
// of the sample fits, so no two rooms end up with one code.
TEST_F(SampleTest, RoomCodesFitTheGeneratorsFourCharacters) {
  for (int scale : {1, 11}) {  // 11: a tenth laboratory takes a two-digit number
    SCOPED_TRACE(scale);
    sample::SampleOptions options;
    options.scale = scale;
    std::filesystem::remove_all(root_ / "OB");
    sample::writeSampleSchool("C:\\OB", options);
    std::set<std::string> codes;
    forEach("C:\\OB", "aulas", [&](Table& t) {
      const std::string code = t.asString("Codaula");
      EXPECT_LE(code.size(), 4u) << code;
      EXPECT_TRUE(codes.insert(code).second) << code;
    });
  }
}

TEST_F(SampleTest, TeachersExerciseTheTeacherExport) {
  sample::SampleOptions options;
  options.seed = 5;
  sample::writeSampleSchool("C:\\OB", options);
  std::map<std::string, int> sharers;
  int leaversWithId = 0, withoutId = 0, accented = 0;
  std::set<std::int64_t> active;
  forEach("C:\\OB", "profesor", [&](Table& t) {
    const std::string name = t.asString("Apenomprof");
    ++sharers[abbreviation(name)];
    if (name.find_first_of("\xC3") != std::string::npos) ++accented;  // UTF-8 of Á É Í Ñ Ó Ú à è ...
    EXPECT_FALSE(t.asString("Departa").empty());
    if (t.asInteger("Dni") == 0) ++withoutId;
    if (t.asDateTime("FBaja") != 0 && t.asInteger("Dni") != 0) ++leaversWithId;
    if (t.asDateTime("FBaja") == 0) active.insert(t.asInteger("Dni"));
  });
  int most = 0, shared = 0;
  for (const auto& [abbrev, n] : sharers) {
    most = std::max(most, n);
    if (n > 1) ++shared;
  }
  EXPECT_GE(most, 3);
  EXPECT_LE(most, 9);  // at scale 1 the specified numbering stays unique
  EXPECT_GE(shared, 2);
  EXPECT_GE(leaversWithId, 1);
  EXPECT_EQ(withoutId, 0);  // the import needs every teacher's identity number
  EXPECT_GT(accented, 10);

  // Every timetable line names a subject of the catalogue and a teacher in
  // the school, except a few lines whose teacher is not entered yet.
  std::set<std::string> subjects;
  forEach("C:\\OB", "asignat", [&](Table& t) { subjects.insert(t.asString("Codasig")); });
  int unknownSubject = 0, noTeacher = 0, strangeTeacher = 0;
  forEach("C:\\OB", "horgrup", [&](Table& t) {
    if (!subjects.count(t.asString("Codasig"))) ++unknownSubject;
    const std::int64_t dni = t.asInteger("Dni");
    if (dni == 0)
      ++noTeacher;
    else if (!active.count(dni))
      ++strangeTeacher;
    EXPECT_GE(t.asInteger("Diasem"), 1);
    EXPECT_LE(t.asInteger("Numhora"), 20);
  });
  EXPECT_EQ(unknownSubject, 0);
  EXPECT_EQ(strangeTeacher, 0);
  EXPECT_GE(noTeacher, 1);
}

TEST_F(SampleTest, TeachersWithoutIdentityNumberOnRequest) {
  sample::SampleOptions options;
  options.teachersWithoutDni = 3;
  sample::writeSampleSchool("C:\\OB", options);
  int withoutId = 0;
  forEach("C:\\OB", "profesor", [&](Table& t) { withoutId += t.isNull("Dni") ? 1 : 0; });
  EXPECT_EQ(withoutId, 3);
}

TEST_F(SampleTest, GroupsSubjectsAndStudentsFollowTheCodeRules) {
  sample::writeSampleSchool("C:\\OB", {});
  std::set<std::string> levels, groups;
  forEach("C:\\OB", "grupos", [&](Table& t) {
    const std::string code = t.asString("Codgrup");
    ASSERT_EQ(code.size(), 5u) << code;
    EXPECT_TRUE(code[0] >= '1' && code[0] <= '4') << code;
    EXPECT_EQ(t.asString("Codcur"), code.substr(0, 4));
    EXPECT_EQ(t.asString("Turno").size(), 1u);
    levels.insert(code.substr(1, 3));
    groups.insert(code);
  });
  EXPECT_GE(levels.size(), 4u);
  int blankShortCode = 0, blankHours = 0;
  forEach("C:\\OB", "asignat", [&](Table& t) {
    const std::string code = t.asString("Codasig");
    EXPECT_TRUE(code[0] >= '1' && code[0] <= '4') << code;
    EXPECT_TRUE(levels.count(code.substr(1, 3))) << code;
    EXPECT_LE(t.asString("Litresv").size(), 3u);
    if (t.asString("Litresv").empty()) ++blankShortCode;
    const std::string hours = t.asString("Horsemte").substr(0, 2);
    if (hours.find_first_not_of(' ') == std::string::npos)
      ++blankHours;
    else
      EXPECT_NO_THROW((void)std::stoi(hours)) << code;
  });
  EXPECT_GE(blankShortCode, 1);
  EXPECT_GE(blankHours, 1);
  std::set<std::string> students;
  int ungrouped = 0, unknownGroup = 0, repeaters = 0, withNotes = 0;
  forEach("C:\\OB", "alumnos", [&](Table& t) {
    const std::string code = t.asString("Codigo");
    EXPECT_TRUE(students.insert(code).second) << "student code repeated: " << code;
    const std::string group = t.asString("Codgrup");
    if (group.empty())
      ++ungrouped;
    else if (!groups.count(group))
      ++unknownGroup;
    if (!group.empty()) {
      EXPECT_EQ(t.asString("Codcur"), group.substr(0, 4));
    }
    repeaters += t.asInteger("Repite") == 1 ? 1 : 0;
    withNotes += t.asString("Obs").empty() ? 0 : 1;
  });
  EXPECT_GE(ungrouped, 1);
  EXPECT_GE(unknownGroup, 1);
  EXPECT_GE(repeaters, 20);
  EXPECT_GE(withNotes, 100);
  std::map<std::string, int> perStudent;
  forEach("C:\\OB", "asigalum", [&](Table& t) {
    const std::string code = t.asString("Codigo");
    EXPECT_TRUE(students.count(code)) << code;
    ++perStudent[code];
  });
  for (const auto& [code, n] : perStudent) EXPECT_LE(n, 50) << code;  // ALUMNOST holds 50 subjects
  // Each centre's template, matched by the text the centre list shows.
  std::map<std::string, std::set<std::int64_t>> slots;
  forEach("C:\\OB", "lhortipo",
          [&](Table& t) { slots[t.asString("CODCEN")].insert(t.asInteger("Numhora")); });
  int centres = 0;
  forEach("C:\\OB", "centro", [&](Table& t) {
    ++centres;
    const auto& s = slots[t.asString("Codcen")];
    for (int slot = 1; slot <= 7; ++slot)
      EXPECT_TRUE(s.count(slot)) << t.asString("Codcen") << " slot " << slot;
  });
  EXPECT_EQ(centres, 2);
}

TEST_F(SampleTest, SameSeedSameBytesOtherSeedOtherSchool) {
  sample::SampleOptions options;
  options.seed = 42;
  sample::writeSampleSchool("C:\\A", options);
  sample::writeSampleSchool("C:\\B", options);
  options.seed = 43;
  sample::writeSampleSchool("C:\\C", options);
  // The header's date of last update (bytes 1 to 3) is the day of writing.
  auto withoutDate = [](std::string s) {
    if (s.size() > 4) s.replace(1, 3, "---");
    return s;
  };
  for (const char* file : kTables) {
    SCOPED_TRACE(file);
    const std::string a = get(std::string("A/") + file);
    ASSERT_GT(a.size(), 32u);
    EXPECT_TRUE(withoutDate(a) == withoutDate(get(std::string("B/") + file)));
  }
  EXPECT_TRUE(get("A/alumnos.fpt") == get("B/alumnos.fpt"));
  EXPECT_FALSE(withoutDate(get("A/profesor.dbf")) == withoutDate(get("C/profesor.dbf")));
  EXPECT_FALSE(withoutDate(get("A/alumnos.dbf")) == withoutDate(get("C/alumnos.dbf")));
}

}  // namespace
}  // namespace pasarela
