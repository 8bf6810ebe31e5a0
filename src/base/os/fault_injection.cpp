#include <mutex>

#include "base/os/fault_point.h"

namespace pasarela::os {

namespace {
std::mutex hookMutex;
testing::FaultHook& hook() {
  static testing::FaultHook h;
  return h;
}
}  // namespace

std::atomic<bool> detail::faultHookSet{false};

int detail::callFaultHook(testing::Call call, const std::filesystem::path& path) {
  testing::FaultHook copy;
  {
    std::lock_guard<std::mutex> lock(hookMutex);
    copy = hook();
  }
  return copy ? copy(call, path) : 0;
}

void testing::setFaultHook(FaultHook h) {
  std::lock_guard<std::mutex> lock(hookMutex);
  detail::faultHookSet.store(static_cast<bool>(h), std::memory_order_relaxed);
  hook() = std::move(h);
}

}  // namespace pasarela::os
