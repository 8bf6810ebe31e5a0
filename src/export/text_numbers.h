// Numbers for the distinct texts of a table's field (subject codes, group
// codes, student codes) or for distinct keys made of bytes, given in order
// of first appearance. A school has a
// few hundred or thousand of them, looked up hundreds of thousands of times
// in a run: the table is open addressing with a power-of-two size, so a
// lookup is one hash and, mostly, one comparison.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pasarela::exporting {

class TextNumbers {
 public:
  TextNumbers() : slots_(kFirstSize, kEmpty) {}

  // The number of `text`; a text not seen before gets the next one.
  std::uint32_t number(std::string_view text) {
    const std::uint64_t hash = hashOf(text);
    std::size_t slot = place(text, hash);
    if (slots_[slot] != kEmpty) return slots_[slot];
    const auto n = static_cast<std::uint32_t>(hashes_.size());
    texts_.append(text);
    ends_.push_back(texts_.size());
    hashes_.push_back(hash);
    slots_[slot] = n;
    if (hashes_.size() * 2 > slots_.size()) grow();
    return n;
  }

  std::optional<std::uint32_t> find(std::string_view text) const {
    const std::uint32_t n = slots_[place(text, hashOf(text))];
    return n == kEmpty ? std::nullopt : std::optional<std::uint32_t>(n);
  }

  std::size_t size() const { return hashes_.size(); }
  std::string_view text(std::uint32_t number) const {
    const std::size_t begin = number == 0 ? 0 : ends_[number - 1];
    return std::string_view(texts_).substr(begin, ends_[number] - begin);
  }

 private:
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
  static constexpr std::size_t kFirstSize = 64;

  // FNV-1a: short codes hash in a few instructions.
  static std::uint64_t hashOf(std::string_view text) {
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (char c : text) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    return h ^ (h >> 32);
  }

  // The slot holding `text`, or the empty slot where it would go.
  std::size_t place(std::string_view text, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = static_cast<std::size_t>(hash) & mask;; slot = (slot + 1) & mask) {
      const std::uint32_t n = slots_[slot];
      if (n == kEmpty || (hashes_[n] == hash && this->text(n) == text)) return slot;
    }
  }

  void grow() {
    std::vector<std::uint32_t> slots(slots_.size() * 2, kEmpty);
    const std::size_t mask = slots.size() - 1;
    for (std::uint32_t n = 0; n < hashes_.size(); ++n) {
      std::size_t slot = static_cast<std::size_t>(hashes_[n]) & mask;
      while (slots[slot] != kEmpty) slot = (slot + 1) & mask;
      slots[slot] = n;
    }
    slots_.swap(slots);
  }

  std::string texts_;                  // one after another, in number order
  std::vector<std::size_t> ends_;      // by number, where its text ends in texts_
  std::vector<std::uint64_t> hashes_;  // by number
  std::vector<std::uint32_t> slots_;   // numbers, kEmpty where none; never more than half full
};

}  // namespace pasarela::exporting
