// The slot-time tables of one import run: start and end time of each of the
// 20 daily slots, filled by the template step and read by the transfer.
#pragma once

#include <array>
#include <string>

namespace pasarela {

inline constexpr int kSlots = 20;

// Indexed by slot number 1 to 20; entry 0 is never used.
using HorasTabla = std::array<std::string, kSlots + 1>;

inline bool slotInRange(long long slot) { return slot > 0 && slot < kSlots + 1; }

}  // namespace pasarela
