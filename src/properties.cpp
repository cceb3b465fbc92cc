#include "properties.h"

#include <algorithm>
#include <cstdlib>
#include <type_traits>

void PropertyLines::Erase(PropertyLine *line) {
  end_ = std::copy(line + 1, end_, line);
}

namespace {

static_assert(std::is_trivially_copyable_v<PropertyLine>,
              "lines are copied into memory from malloc");

// Room for `count` lines, or null without the memory.
PropertyLine *NewLines(std::size_t count) {
  return static_cast<PropertyLine *>(std::malloc(count * sizeof(PropertyLine)));
}

} // namespace

bool PropertyLines::Grow() {
  if (outOfMemory_) {
    return false; // memory that ran out is not asked for again
  }
  const std::size_t capacity = 2 * static_cast<std::size_t>(limit_ - begin_);
  PropertyLine *const lines = NewLines(capacity);
  if (lines == nullptr) {
    outOfMemory_ = true;
    return false;
  }
  end_ = std::copy(begin_, end_, lines);
  if (OnHeap()) {
    Free(begin_);
  }
  begin_ = lines;
  limit_ = lines + capacity;
  return true;
}

// Without the memory, the copy is left empty and out of memory.
void PropertyLines::CopyHeap(const PropertyLines &other) {
  const std::size_t capacity =
      static_cast<std::size_t>(other.limit_ - other.begin_);
  PropertyLine *const lines = NewLines(capacity);
  if (lines == nullptr) {
    outOfMemory_ = true;
    return;
  }
  begin_ = lines;
  limit_ = begin_ + capacity;
  end_ = std::copy(other.begin_, other.end_, begin_);
}

void PropertyLines::Free(PropertyLine *lines) { std::free(lines); }

bool PropertyList::MarkOtherNames() {
  bool marked = false;
  for (PropertyLine &line : lines_) {
    if (line.HasEquals() && !IsAscii(line.Name())) {
      line.MarkOtherName();
      marked = true;
    }
  }
  return marked;
}

std::size_t PropertyList::FindByLocale(const PropertyLine *begin,
                                       const PropertyLine *end,
                                       std::string_view name, std::size_t own,
                                       bool asciiFoldsPlainly) {
  for (const PropertyLine *line = begin; line != end; ++line) {
    if (line->HasEquals() && CaseInsensitiveName::ByLocale(
                                 name, own, line->Name(), asciiFoldsPlainly)) {
      return static_cast<std::size_t>(line - begin);
    }
  }
  return static_cast<std::size_t>(end - begin);
}
