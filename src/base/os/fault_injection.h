// Tests only: failures of the OS layer on demand, for faults a test cannot
// provoke portably (a full disk, a failing rename). Nothing in the programs
// calls this; with no hook set the layer does what the host does.
#pragma once

#include <filesystem>
#include <functional>
#include <utility>

namespace pasarela::os::testing {

enum class Call { Open, Read, Write, Sync, Truncate, Close, Replace, Link, Remove };

// Called before each such call of the layer with the call and its path (the
// path it was opened with, for calls on an open file); a nonzero result
// makes the call fail with that code, untouched.
using FaultHook = std::function<int(Call call, const std::filesystem::path& path)>;

void setFaultHook(FaultHook hook);  // an empty hook removes it

// Removes the hook when the test's scope ends.
class ScopedFaultHook {
 public:
  explicit ScopedFaultHook(FaultHook hook) { setFaultHook(std::move(hook)); }
  ~ScopedFaultHook() { setFaultHook({}); }
  ScopedFaultHook(const ScopedFaultHook&) = delete;
  ScopedFaultHook& operator=(const ScopedFaultHook&) = delete;
};

}  // namespace pasarela::os::testing
