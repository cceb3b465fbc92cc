// The defined label that a goto to an undefined one most likely means, for
// lint's "did you mean": one spelled alike but for ASCII case, else one a
// slip or two of the keyboard away.
#pragma once

#include "lint/LabelTable.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace directive_host {

// Edits (a byte put in, left out or changed) that a suggestion may be from
// the label it is for, ASCII case ignored.
inline constexpr std::size_t kMaxSuggestionEdits = 2;

// Edits from `a` to `b`, counted up to kMaxSuggestionEdits + 1: a larger
// distance is returned as that.
std::size_t EditDistance(std::string_view a, std::string_view b);

struct NearLabel {
  std::string_view label;
  std::size_t line = 0; // of its first definition
};

// The defined labels, sorted by their spelling in upper case: an implicit
// trie, walked with the rows of the edit distance and left wherever the
// distance has grown past the bound, so that a lookup visits the few
// labels that share most of a prefix with the one it is for rather than
// every label.
class NearestLabels {
public:
  // `definitions` must outlive this.
  explicit NearestLabels(const LabelTable &definitions);

  // The defined label nearest `label`, ASCII case ignored, that is at most
  // kMaxSuggestionEdits and fewer edits than `label` has bytes away; of
  // several, the one fewest edits away as spelled, then the one defined
  // first. nullopt when there is none.
  std::optional<NearLabel> Nearest(std::string_view label) const;

private:
  struct Entry {
    std::size_t folded = 0; // offset in folded_ of the label in upper case
    std::size_t length = 0;
    NearLabel target;
  };

  std::string_view Folded(const Entry &entry) const {
    return std::string_view(folded_).substr(entry.folded, entry.length);
  }

  std::string folded_;
  std::vector<Entry> entries_;
};

} // namespace directive_host
