// Spanish texts for the C library's error numbers, so that a message never
// mixes in the library's own (English) wording.
#pragma once

#include <string>

namespace pasarela {

// "No existe el archivo o la carpeta" for ENOENT, ...; "Error del sistema N"
// for a number without a text of its own.
std::string systemErrorText(int errnoValue);

}  // namespace pasarela
