// The nine interchange tables the export writes into C:\KTEMP, in the order
// the procedures write them.
#pragma once

#include <array>

namespace pasarela {

inline constexpr std::array<const char*, 9> kInterchangeTables = {
    "ASIGVALT", "ASIGNOMT", "PROFT", "AULAT", "ALUMNOST", "ASIGCURT", "GRUPOST", "CURSOST", "ASIGT"};

}  // namespace pasarela
