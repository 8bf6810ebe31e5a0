// The sample school in memory, before it is written as tables: what a
// medium-sized secondary school of the Valencian Community keeps in its
// school-management system. All text is UTF-8 here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pasarela::sample {

struct SampleOptions {
  int scale = 1;               // multiplies every count
  std::uint64_t seed = 1;      // same seed, same school
  int teachersWithoutDni = 0;  // active teachers whose Dni is 0 (empty)
};

struct Centre {
  std::string code;  // digits, stored in a numeric field
  std::string name;
  std::string address;
  std::string town;
  std::string postCode;
  std::string phone;
};

struct TemplateLine {  // lhortipo
  std::string centre;
  int slot = 0;
  std::string from, to;  // "08:00"
  char kind = 'L';       // L lesson, R break
};

struct Teacher {
  std::string name;  // "García Pérez, José"
  std::string department;
  std::int64_t dni = 0;     // 0: none
  std::string leavingDate;  // "YYYYMMDD", empty while in the school
  std::string startDate;
  std::string phone;
};

struct Subject {
  std::string code;  // year, level (3), subject (3 or 4): "1ESOMAT"
  std::string valencianName, castilianName;
  std::string shortCode;           // Litresv
  std::string castilianShortCode;  // Litres
  std::string weeklyHours;         // Horsemte as the school typed it
  int lessons = 0;                 // lessons a week each group gets
  std::string department;
  bool optional = false;
  char field = ' ';  // C sciences, L humanities, ' ' both
};

struct Group {
  std::string code;  // "1ESOA"
  char shift = 'M';
  std::string label;  // "1r ESO A"
  std::string room;
  std::int64_t tutor = 0;
  int students = 0;
};

struct Student {
  std::string code, code2;
  std::string name;
  std::string group;    // Codgrup
  std::string course;   // Codcur
  std::string repeats;  // "1", "0" or "" (empty field)
  char sex = 'H';
  std::string birthDate;
  std::string dni;
  std::string address, town, postCode, phone;
  std::string father, mother;
  std::string notes, comment;  // memo fields
  std::string enrolDate;
  bool placed = true;  // METIDOGRUP
};

struct Enrolment {
  std::string student;
  std::string subject;
  std::string group;
};

struct Room {
  std::string code;
  std::string name;
  int capacity = 30;
  std::string floor;
};

struct Lesson {  // one line of horgrup and, for its teacher, of horprof
  std::string group;
  std::string subject;
  std::int64_t dni = 0;
  int day = 1;
  int slot = 1;
  std::string room;
  std::string centre;
};

struct SampleSchool {
  std::vector<Centre> centres;
  std::vector<TemplateLine> templateLines;
  std::vector<Teacher> teachers;
  std::vector<Subject> subjects;
  std::vector<Group> groups;
  std::vector<Student> students;
  std::vector<Enrolment> enrolments;
  std::vector<Room> rooms;
  std::vector<Lesson> lessons;
};

SampleSchool buildSampleSchool(const SampleOptions& options);

}  // namespace pasarela::sample
