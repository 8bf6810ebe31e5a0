// Windows-1252, the code page of the school-management files.
#pragma once

#include <string>
#include <string_view>

namespace pasarela::sample {

// UTF-8 text in Windows-1252; a character the code page lacks becomes '?'.
std::string utf8ToCp1252(std::string_view utf8);

}  // namespace pasarela::sample
