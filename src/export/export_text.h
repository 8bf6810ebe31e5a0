// Text helpers of the export procedures. Texts read from tables are UTF-8;
// positions and lengths count characters, not bytes, so that a Windows-1252
// name such as "Àlgebra" keeps its accents whole when cut.
#pragma once

#include <string>

namespace pasarela::exporting {

// Number of characters of `text`. A byte that does not start a valid UTF-8
// sequence counts as one character.
std::size_t charCount(const std::string& text);

// Up to `count` characters from character position `pos` (0-based); empty
// when `pos` lies beyond the end.
std::string charSub(const std::string& text, std::size_t pos, std::size_t count);

// The last character; empty for an empty text.
std::string lastChar(const std::string& text);

// Empty, or made only of blanks and control characters.
bool isBlank(const std::string& text);

// Blanks and control characters removed from both ends.
std::string trimBlanks(const std::string& text);

// Deletes `<folder>\<base>.DBF` and then `<folder>\<base>.MDX` where they
// exist. A deletion that fails is ignored: creating the table reports it.
void deleteInterchangeFiles(const std::string& folder, const std::string& base);

}  // namespace pasarela::exporting
