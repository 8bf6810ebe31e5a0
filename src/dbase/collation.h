// Order of character index keys under a table's language driver (the LDID,
// byte 29 of the .DBF), as dBase software sorts them.
#pragma once

#include <cstdint>
#include <string_view>

namespace pasarela::dbase {

// Negative, zero or positive. Keys are code-page bytes of equal length.
int collate(std::uint8_t ldid, std::string_view a, std::string_view b);

}  // namespace pasarela::dbase
