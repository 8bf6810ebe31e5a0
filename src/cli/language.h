// The language of the subject names in the export, as the window's box
// offers it: "VALENCIÁ" or "CASTELLANO".
#pragma once

#include <string>

namespace pasarela::cli {

inline constexpr const char* kValencian = "VALENCIÁ";
inline constexpr const char* kCastilian = "CASTELLANO";

// The box's text for what a user typed: either name in any case, with or
// without the accent ("valencià", "VALENCIA", "castellano"). Throws
// UsageError for anything else.
std::string languageFromCommandLine(const std::string& text);

}  // namespace pasarela::cli
