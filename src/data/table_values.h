// The value rules of the table object: how a field's bytes read as text and
// numbers, and how text and numbers are written back. Internal to src/data.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/error.h"

namespace pasarela::table_values {

// Blanks (any white space) removed at both ends: a view into `s`.
std::string_view trimBoth(std::string_view s);

// A decimal integer, blanks around allowed; nullopt for anything else.
std::optional<std::int64_t> parseInteger(const std::string& text);
// A decimal number, comma or point; nullopt for anything else.
std::optional<double> parseFloat(const std::string& text);
// "YYYY-MM-DD", "YYYYMMDD" or "DD/MM/YYYY" as days since 1899-12-30.
std::optional<double> parseDate(const std::string& text);

Error notInteger(const std::string& text);
Error notFloat(const std::string& text);
Error notDate(const std::string& text);

}  // namespace pasarela::table_values
