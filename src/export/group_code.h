// The split of a school group code (grupos.Codgrup, alumnos.Codgrup,
// horgrup.Codgrup) into the parts the timetable generator knows, and the
// abbreviations built from them. The student, group and assignment exports
// must agree on these: ASIGT.CGRUP names a group by GRUPOST.ABREV.
#pragma once

#include <string>

namespace pasarela::exporting {

struct GroupCode {
  std::string level;   // characters 2 to 4 ("ESO" of "1ESOA")
  std::string year;    // character 1 ("1")
  std::string letter;  // the last character ("A")

  // A code shorter than two characters has no level; the student and group
  // exports skip it.
  bool complete() const { return !level.empty() && !year.empty(); }
};

GroupCode splitGroupCode(const std::string& codgrup);

// 1st and 3rd character of the level, year, letter: "EO1A" for 1ESOA.
std::string groupAbbreviation(const GroupCode& group);

// Shift, 1st character of the level, year: "ME1" for M and 1ESOA.
std::string courseAbbreviation(const std::string& shift, const GroupCode& group);

// Shift, level, year and letter separated by single blanks: "M ESO 1 A".
std::string groupDescription(const std::string& shift, const GroupCode& group);

}  // namespace pasarela::exporting
