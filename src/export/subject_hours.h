// The weekly hours of a subject, from the text of asignat.Horsemte.
#pragma once

#include <string>

namespace pasarela::exporting {

// The number in the first two characters of `horsemte`, read with the
// Spanish decimal comma; 1 when they are blank or the number is not above 0.
// Text that is no number throws "'%s' no es un valor punto flotante válido".
double subjectHours(const std::string& horsemte);

// The locale's text-to-float conversion: blanks around the number, a sign,
// digits with one decimal comma, an optional exponent. Throws the
// conversion error naming `text`.
double textToFloat(const std::string& text);

}  // namespace pasarela::exporting
