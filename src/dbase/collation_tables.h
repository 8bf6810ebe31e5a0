// Byte weights of the collations of index keys, per language driver.
#pragma once

#include <array>
#include <cstdint>

namespace pasarela::dbase {

using CollationWeights = std::array<std::uint8_t, 256>;

// The weights of a driver's collation, or null when it sorts byte by byte.
const CollationWeights* collationWeights(std::uint8_t ldid);

}  // namespace pasarela::dbase
