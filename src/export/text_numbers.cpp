#include "export/text_numbers.h"

namespace pasarela::exporting {

std::uint32_t TextNumbers::add(std::size_t slot, std::string_view text, std::uint64_t hash) {
  const auto n = static_cast<std::uint32_t>(ends_.size());
  texts_.append(text);
  ends_.push_back(texts_.size());
  slots_[slot] = Slot{hash, n, static_cast<std::uint32_t>(text.size())};
  if (ends_.size() * 2 > slots_.size()) grow();
  return n;
}

void TextNumbers::grow() {
  std::vector<Slot> slots(slots_.size() * 2);
  const std::size_t mask = slots.size() - 1;
  for (const Slot& s : slots_) {
    if (s.number == kEmpty) continue;
    std::size_t slot = static_cast<std::size_t>(s.hash) & mask;
    while (slots[slot].number != kEmpty) slot = (slot + 1) & mask;
    slots[slot] = s;
  }
  slots_.swap(slots);
}

}  // namespace pasarela::exporting
