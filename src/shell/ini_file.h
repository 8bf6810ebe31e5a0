// Writing one key of a Windows profile (ini) file, the way the profile API
// does: the key's value is replaced, or the key (and its section) added;
// every other line of the file (sections, keys, comments, blank lines, line
// endings) stays exactly as it was. The file is created when missing.
#pragma once

#include <filesystem>
#include <string>

namespace pasarela::shell {

// The new text of an ini file after setting section/key to value. Sections
// and keys are matched without regard to case.
std::string setIniValue(const std::string& content, const std::string& section, const std::string& key,
                        const std::string& value);

// Reads, changes and writes the file (through a temporary file renamed over
// it, so a failed write leaves the old file whole). Any failure throws
// pasarela::Error "Unable to write to <shownPath>".
void writeIniValue(const std::filesystem::path& file, const std::string& shownPath,
                   const std::string& section, const std::string& key, const std::string& value);

}  // namespace pasarela::shell
