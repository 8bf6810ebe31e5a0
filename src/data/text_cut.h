// Cutting text by characters. Texts read from tables are UTF-8, and every
// table this program writes uses a single-byte code page, so the n-th
// character of the table is the n-th UTF-8 character here: cutting bytes
// would split an "Ñ" and make a code that exists nowhere.
#pragma once

#include <cstddef>
#include <string>

namespace pasarela {

// The first `count` characters of a UTF-8 text (all of it when shorter). A
// byte that does not start a valid sequence counts as one character.
std::string firstChars(const std::string& text, std::size_t count);

// Byte length of the character starting at byte `i`, counted the same way.
std::size_t charBytesAt(const std::string& text, std::size_t i);

// Number of characters, counted the same way.
std::size_t charLength(const std::string& text);

}  // namespace pasarela
