#include "properties.h"

#include <algorithm>

void PropertyLines::Erase(PropertyLine *line) {
  end_ = std::copy(line + 1, end_, line);
}

void PropertyLines::Grow() {
  const std::size_t capacity = 2 * static_cast<std::size_t>(limit_ - begin_);
  PropertyLine *const lines = new PropertyLine[capacity];
  end_ = std::copy(begin_, end_, lines);
  if (OnHeap()) {
    Free(begin_);
  }
  begin_ = lines;
  limit_ = lines + capacity;
}

void PropertyLines::CopyHeap(const PropertyLines &other) {
  const std::size_t capacity =
      static_cast<std::size_t>(other.limit_ - other.begin_);
  begin_ = new PropertyLine[capacity];
  limit_ = begin_ + capacity;
  end_ = std::copy(other.begin_, other.end_, begin_);
}

void PropertyLines::Free(PropertyLine *lines) { delete[] lines; }

void PropertyList::MarkOtherNames() {
  for (PropertyLine &line : lines_) {
    if (line.HasEquals() && !IsAscii(line.Name())) {
      line.MarkOtherName();
    }
  }
}
