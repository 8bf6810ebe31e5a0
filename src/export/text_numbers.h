// Numbers for the distinct texts of a table's field (subject codes, group
// codes, student codes) or for distinct keys made of bytes, given in order
// of first appearance. A school has a
// few hundred or thousand of them, looked up hundreds of thousands of times
// in a run: the table is open addressing with a power-of-two size, so a
// lookup is one hash and, mostly, one comparison.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace pasarela::exporting {

class TextNumbers {
 public:
  TextNumbers() : slots_(kFirstSize) {}

  // The number of `text`; a text not seen before gets the next one.
  std::uint32_t number(std::string_view text) {
    const std::uint64_t hash = hashOf(text);
    const std::size_t slot = place(text, hash);
    if (slots_[slot].number != kEmpty) return last_ = slots_[slot].number;
    return last_ = add(slot, text, hash);
  }

  // number() for texts that come in runs (a group's timetable lines, a
  // student's enrolments): the text of the last call is tried first,
  // without hashing.
  std::uint32_t numberInRun(std::string_view text) {
    if (last_ != kEmpty && sameText(this->text(last_), text)) return last_;
    return number(text);
  }

  std::optional<std::uint32_t> find(std::string_view text) const {
    const std::uint32_t n = slots_[place(text, hashOf(text))].number;
    return n == kEmpty ? std::nullopt : std::optional<std::uint32_t>(n);
  }

  std::size_t size() const { return ends_.size(); }
  std::string_view text(std::uint32_t number) const {
    const std::size_t begin = number == 0 ? 0 : ends_[number - 1];
    return std::string_view(texts_).substr(begin, ends_[number] - begin);
  }

 private:
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
  static constexpr std::size_t kFirstSize = 64;

  // A text's hash and size beside its number: most lookups end in the
  // slot, without reading the text kept.
  struct Slot {
    std::uint64_t hash = 0;
    std::uint32_t number = kEmpty;
    std::uint32_t size = 0;
  };

  // Eight bytes at a time, each word mixed in with the finaliser of
  // SplitMix64, so that every bit of the word reaches the low bits a slot
  // is taken from (codes such as "1BAC0" and "1BAC1" differ in one byte).
  // The length goes in first; the last bytes are read as words overlapping
  // bytes already read. Up to eight bytes make one word that holds them
  // all, and the finaliser loses nothing: two texts of that size with the
  // same hash are the same text.
  static std::uint64_t hashOf(std::string_view text) {
    const char* p = text.data();
    const std::size_t size = text.size();
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ size;
    std::size_t n = size;
    for (; n >= 8; p += 8, n -= 8) h = mix(h ^ text::readLe64(p));
    if (n > 0) {
      std::uint64_t word;
      if (size >= 8)
        word = text::readLe64(text.data() + size - 8);
      else if (n >= 4)
        word = text::readLe32(p) | static_cast<std::uint64_t>(text::readLe32(p + n - 4)) << 32;
      else
        word = static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[n / 2]) << 8 |
               static_cast<unsigned char>(p[n - 1]) << 16;
      h = mix(h ^ word);
    }
    return h;
  }
  // Equality of short texts in a few word compares, without a call: the
  // first and last words of each, overlapping when the text is shorter
  // than two of them.
  static bool sameText(std::string_view a, std::string_view b) {
    const std::size_t n = a.size();
    if (n != b.size()) return false;
    const char* p = a.data();
    const char* q = b.data();
    if (n > 16) return std::memcmp(p, q, n) == 0;
    if (n >= 8)
      return text::readLe64(p) == text::readLe64(q) && text::readLe64(p + n - 8) == text::readLe64(q + n - 8);
    if (n >= 4)
      return text::readLe32(p) == text::readLe32(q) && text::readLe32(p + n - 4) == text::readLe32(q + n - 4);
    for (std::size_t i = 0; i < n; ++i)
      if (p[i] != q[i]) return false;
    return true;
  }
  static std::uint64_t mix(std::uint64_t h) {
    h = (h ^ (h >> 30)) * 0xBF58476D1CE4E5B9ull;
    h = (h ^ (h >> 27)) * 0x94D049BB133111EBull;
    return h ^ (h >> 31);
  }

  // The slot holding `text`, or the empty slot where it would go.
  std::size_t place(std::string_view text, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = static_cast<std::size_t>(hash) & mask;; slot = (slot + 1) & mask) {
      const Slot& s = slots_[slot];
      if (s.number == kEmpty) return slot;
      if (s.hash == hash && s.size == text.size() &&
          (text.size() <= 8 || sameText(this->text(s.number), text)))
        return slot;
    }
  }

  // Keeps a new text in the empty slot `slot`; out of line, so that a
  // lookup stays small.
  std::uint32_t add(std::size_t slot, std::string_view text, std::uint64_t hash);
  void grow();

  std::string texts_;              // one after another, in number order
  std::vector<std::size_t> ends_;  // by number, where its text ends in texts_
  std::vector<Slot> slots_;        // never more than half full
  std::uint32_t last_ = kEmpty;    // the number of the last call
};

}  // namespace pasarela::exporting
