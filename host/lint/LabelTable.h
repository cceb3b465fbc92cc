// The labels a script defines, each with the line of its first definition:
// a hash table of open addressing whose slots lie side by side, so that a
// lookup in a table of a million labels touches one slot and the label's
// bytes rather than a chain of nodes spread over the heap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace directive_host {

class LabelTable {
public:
  // The line of the first definition of `label`; when there is none yet,
  // `label` becomes defined at `line` (counted from 1), which is returned.
  std::size_t Define(std::string_view label, std::size_t line);

  // The line of the first definition of `label`; 0 when it has none.
  std::size_t Find(std::string_view label) const;

  // Marks `label`, when it is defined, as the target of a goto.
  void MarkGoneTo(std::string_view label);

  // Calls `visit(label, line)` for each label, or with `onlyUnmarked` for
  // each that no MarkGoneTo has marked; the views stay valid until the next
  // Define.
  template <typename Visit>
  void ForEach(Visit visit, bool onlyUnmarked = false) const {
    for (const Slot &slot : slots_) {
      if (slot.line != 0 && !(onlyUnmarked && slot.goneTo)) {
        visit(LabelOf(slot), slot.line);
      }
    }
  }

private:
  // Small, since a script may define millions of labels: a label's bytes
  // fit in a result buffer, and the low bits of its hash pick the slot.
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t length : 31 = 0;
    std::uint32_t goneTo : 1 = 0;
    std::size_t offset = 0;
    std::size_t line = 0; // 0 for an empty slot
  };

  std::string_view LabelOf(const Slot &slot) const {
    return std::string_view(bytes_).substr(slot.offset, slot.length);
  }
  // The slot that holds `label`, or the empty one where it would go.
  std::size_t SlotOf(std::string_view label, std::uint32_t hash) const;
  void Grow();

  std::vector<Slot> slots_; // a power of two of them, at most 3/4 in use
  std::string bytes_;       // the labels, one after another
  std::size_t count_ = 0;
};

} // namespace directive_host
