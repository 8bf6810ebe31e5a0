// The code pages as static tables, the same on every host (no iconv).
#pragma once

#include <array>
#include <vector>

namespace pasarela::dbase {

using HighCodePoints = std::array<char32_t, 128>;

// Code points of bytes 0x80..0xFF of a code page (0 where it has none);
// null for a page without a table.
const HighCodePoints* highCodePoints(int number);

// Every page with a table, in ascending order.
const std::vector<int>& tabledCodePages();

}  // namespace pasarela::dbase
