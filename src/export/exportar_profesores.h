// The teacher abbreviation that names a teacher in the timetable generator.
#pragma once

#include <string>

namespace pasarela {

// For every occurrence of `separador` in `texto`, the one character after it
// (nothing when it is the last). Only a one-character separator can match.
std::string LetrasTrasSeparador(const std::string& texto, const std::string& separador);

namespace exporting {

// First character of the name and the characters after its blanks, cut to 3:
// "García Pérez Juan" gives "GPJ".
std::string teacherAbbreviation(const std::string& apenomprof);

}  // namespace exporting
}  // namespace pasarela
