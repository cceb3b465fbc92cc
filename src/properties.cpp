#include "properties.h"

#include "DirectiveText.h"
#include "platform/platform.h"

PropertyList::PropertyList(std::pmr::memory_resource *memory)
    : lines_(memory) {}

void PropertyList::FromText(std::string_view text) {
  lines_.clear();
  text = text.substr(0, text.find('\0'));
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end =
        std::min(text.find_first_of("\r\n", pos), text.size());
    lines_.emplace_back(text.substr(pos, end - pos));
    pos = end;
    if (pos < text.size() && text[pos] == '\r') {
      ++pos;
    }
    if (pos < text.size() && text[pos] == '\n') {
      ++pos;
    }
  }
}

PropertyList::Line PropertyList::ToText() const {
  std::size_t size = 0;
  for (const Line &line : lines_) {
    size += line.size() + 2;
  }
  Line text(lines_.get_allocator());
  text.reserve(size);
  for (const Line &line : lines_) {
    text += line;
    text += "\r\n";
  }
  return text;
}

std::optional<std::size_t> PropertyList::FindName(std::string_view name) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::string_view line = lines_[i];
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos &&
        platform::EqualsIgnoringCase(line.substr(0, equals), name)) {
      return i;
    }
  }
  return std::nullopt;
}

std::string_view PropertyList::ValueOf(std::string_view name) const {
  const std::optional<std::size_t> index = FindName(name);
  if (!index) {
    return {};
  }
  // The matched name may differ in length from `name` (a locale can fold
  // "straße" to "strasse"), so cut at the line's own '='.
  const std::string_view line = lines_[*index];
  return line.substr(line.find('=') + 1);
}

void PropertyList::PutValue(std::string_view name, std::string_view value) {
  const std::optional<std::size_t> index = FindName(name);
  if (value.empty()) {
    if (index) {
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*index));
    }
    return;
  }
  // Built apart first: `name` or `value` may view a line of this list.
  Line line(lines_.get_allocator());
  line.reserve(name.size() + 1 + value.size());
  line += name;
  line += '=';
  line += value;
  if (index) {
    lines_[*index] = std::move(line);
  } else {
    lines_.push_back(std::move(line));
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
