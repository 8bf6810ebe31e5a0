// Inside the OS layer only: the block copy both implementations fall back on.
#pragma once

#include <cstdint>

#include "base/os/file.h"

namespace pasarela::os::detail {

// Copies from `offset` to the end of `from` into `to` at the same offset.
Status copyBlocks(const File& from, File& to, std::uint64_t offset, std::uint64_t& copied);

}  // namespace pasarela::os::detail
