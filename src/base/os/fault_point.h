// Inside the OS layer only: where the implementations ask the test hook.
#pragma once

#include <atomic>

#include "base/os/fault_injection.h"

namespace pasarela::os::detail {

extern std::atomic<bool> faultHookSet;
int callFaultHook(testing::Call call, const std::filesystem::path& path);

// 0, or the code a test wants this call to fail with.
inline int injectedFault(testing::Call call, const std::filesystem::path& path) {
  return faultHookSet.load(std::memory_order_relaxed) ? callFaultHook(call, path) : 0;
}

}  // namespace pasarela::os::detail
