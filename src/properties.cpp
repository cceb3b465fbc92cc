#include "properties.h"

#include "CaseFolding.h"
#include "DirectiveText.h"

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

void PropertyList::ToText(ResultWriter &out) const {
  for (const PropertyLine &line : lines_) {
    out << line.name;
    if (line.hasEquals) {
      out << '=' << line.value;
    }
    out << "\r\n";
  }
}

std::optional<std::size_t> PropertyList::FindName(std::string_view name) const {
  const bool asciiFoldsPlainly = platform::AsciiFoldsPlainly();
  const PropertyLine *const first = lines_.begin();
  const PropertyLine *const last = lines_.end();
  for (const PropertyLine *line = first; line != last; ++line) {
    if (line->hasEquals &&
        EqualsIgnoringCase(line->name, name, asciiFoldsPlainly)) {
      return static_cast<std::size_t>(line - first);
    }
  }
  return std::nullopt;
}

std::string_view PropertyList::ValueOf(std::string_view name) const {
  // The matched name may differ in length from `name` (a locale can fold
  // "straße" to "strasse"); the value is what follows the line's own '='.
  const std::optional<std::size_t> index = FindName(name);
  return index ? lines_[*index].value : std::string_view();
}

void PropertyList::PutValue(std::string_view name, std::string_view value) {
  const std::optional<std::size_t> index = FindName(name);
  if (value.empty()) {
    if (index) {
      lines_.Erase(*index);
    }
    return;
  }
  const PropertyLine line{name, value, true};
  if (index) {
    lines_[*index] = line;
  } else {
    lines_.Append(line);
  }
}

std::string_view NormalizeValue(std::string_view s) {
  s = Trim(s);
  if (!s.empty() && s.front() == '"') {
    s.remove_prefix(1);
  }
  if (!s.empty() && s.back() == '"') {
    s.remove_suffix(1);
  }
  return s;
}
