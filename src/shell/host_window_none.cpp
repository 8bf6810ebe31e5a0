// Host windows where the windowing system offers no foreign windows: the
// window always stays top-level.
#include "shell/host_embedding.h"

namespace pasarela::shell {

bool hostWindowExists(std::uint32_t) { return false; }

WId hostWindowId(std::uint32_t handle) { return static_cast<WId>(handle); }

}  // namespace pasarela::shell
