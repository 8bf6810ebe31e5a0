// The filter texts of table objects: "Codigo= 'A001      '".
#pragma once

#include <optional>
#include <string>

namespace pasarela {

struct FieldFilter {
  std::string field;
  std::string value;  // quotes undone ('' -> '), trailing blanks removed
};

// Parses `Field = 'value'` ('' inside the quotes stands for one quote);
// nullopt when the text has another form.
std::optional<FieldFilter> parseFilter(const std::string& text);

// Equality of the filter: trailing blanks take no part.
bool filterMatches(const FieldFilter& filter, const std::string& fieldText);

}  // namespace pasarela
