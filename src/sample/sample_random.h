// A small deterministic generator for the sample school: the same seed gives
// the same school on every platform and library (the standard distributions
// are not specified bit for bit, so they are not used).
#pragma once

#include <cstdint>
#include <vector>

namespace pasarela::sample {

class SampleRandom {
 public:
  explicit SampleRandom(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {  // splitmix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 <= result < n (n > 0).
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
  // lo <= result <= hi.
  int between(int lo, int hi) { return lo + below(hi - lo + 1); }
  // True with probability percent/100.
  bool chance(int percent) { return below(100) < percent; }
  template <class T>
  const T& pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(below(static_cast<int>(items.size())))];
  }

 private:
  std::uint64_t state_;
};

}  // namespace pasarela::sample
