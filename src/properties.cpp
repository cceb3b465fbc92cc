#include "properties.h"

#include <algorithm>

void PropertyLines::Erase(std::size_t i) {
  if (spilled_.empty()) {
    std::copy(inline_.begin() + static_cast<std::ptrdiff_t>(i + 1),
              inline_.begin() + static_cast<std::ptrdiff_t>(size_),
              inline_.begin() + static_cast<std::ptrdiff_t>(i));
  } else {
    spilled_.erase(spilled_.begin() + static_cast<std::ptrdiff_t>(i));
  }
  --size_;
}

void PropertyLines::AppendSpilled(const PropertyLine &line) { Spill(line); }
