#include "lint/LabelTable.h"

#include <functional>

namespace directive_host {

namespace {

std::uint32_t HashOf(std::string_view label) {
  return static_cast<std::uint32_t>(std::hash<std::string_view>()(label));
}

} // namespace

std::size_t LabelTable::SlotOf(std::string_view label,
                               std::uint32_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot &slot = slots_[i];
    if (slot.line == 0 || (slot.hash == hash && LabelOf(slot) == label)) {
      return i;
    }
  }
}

void LabelTable::Grow() {
  std::vector<Slot> old(slots_.empty() ? 16 : slots_.size() * 2);
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (const Slot &slot : old) {
    if (slot.line == 0) {
      continue;
    }
    std::size_t i = slot.hash & mask;
    while (slots_[i].line != 0) {
      i = (i + 1) & mask;
    }
    slots_[i] = slot;
  }
}

std::size_t LabelTable::Define(std::string_view label, std::size_t line) {
  if ((count_ + 1) * 4 > slots_.size() * 3) {
    Grow();
  }
  const std::uint32_t hash = HashOf(label);
  Slot &slot = slots_[SlotOf(label, hash)];
  if (slot.line != 0) {
    return slot.line;
  }
  slot = {hash, static_cast<std::uint32_t>(label.size()), 0, bytes_.size(),
          line};
  bytes_ += label;
  ++count_;
  return line;
}

void LabelTable::MarkGoneTo(std::string_view label) {
  if (!slots_.empty()) {
    Slot &slot = slots_[SlotOf(label, HashOf(label))];
    slot.goneTo = slot.line != 0;
  }
}

std::size_t LabelTable::Find(std::string_view label) const {
  return slots_.empty() ? 0 : slots_[SlotOf(label, HashOf(label))].line;
}

} // namespace directive_host
