#include "properties.h"

#include "DirectiveText.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstring>

namespace {

// Reads property text line by line. CR, LF and CR LF each end a line, so LF
// CR is two breaks; a break at the very end adds no line. The text ends at
// its first NUL. Line ends are found with memchr: each LF once, and a CR
// only up to the next LF, so the text is read about twice in all.
class LineReader {
public:
  explicit LineReader(std::string_view text)
      : text_(text.substr(0, text.find('\0'))),
        nextLf_(Find('\n', 0, text_.size())) {}

  // The next line, or false when there is none.
  bool Next(std::string_view &line) {
    if (pos_ == text_.size()) {
      return false;
    }
    if (nextLf_ < pos_) {
      nextLf_ = Find('\n', pos_, text_.size());
    }
    const std::size_t end = Find('\r', pos_, nextLf_);
    line = text_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < text_.size() && text_[pos_] == '\r') {
      ++pos_;
    }
    if (pos_ < text_.size() && text_[pos_] == '\n') {
      ++pos_;
    }
    return true;
  }

private:
  // Position of the first `c` in [from, to), or `to`.
  std::size_t Find(char c, std::size_t from, std::size_t to) const {
    if (from >= to) {
      return to; // and an empty text may have no data pointer at all
    }
    const void *found = std::memchr(text_.data() + from, c, to - from);
    return found != nullptr
               ? static_cast<std::size_t>(static_cast<const char *>(found) -
                                          text_.data())
               : to;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t nextLf_;
};

} // namespace

PropertyList::PropertyList(std::pmr::memory_resource *memory)
    : lines_(memory) {}

void PropertyList::FromText(std::string_view text) {
  lines_.clear();
  std::string_view line;
  for (LineReader lines(text); lines.Next(line);) {
    lines_.emplace_back(line);
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

void FindValues(std::string_view text, std::span<const std::string_view> names,
                std::span<std::optional<std::string_view>> values) {
  std::fill(values.begin(), values.end(), std::nullopt);
  std::size_t missing = names.size();
  std::string_view line;
  for (LineReader lines(text); missing > 0 && lines.Next(line);) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      continue;
    }
    const std::string_view name = line.substr(0, equals);
    const std::string_view value = line.substr(equals + 1);
    // A name spelled exactly as asked for matches that name and, as no two
    // names match each other, no other one: the locale need not be asked.
    // Property text written by a parse callback is all spelled so.
    const auto exact = std::find(names.begin(), names.end(), name);
    if (exact != names.end()) {
      std::optional<std::string_view> &found = values[exact - names.begin()];
      if (!found) {
        found = value;
        --missing;
      }
      continue;
    }
    // One line can be the first match of several names.
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (!values[i] && platform::EqualsIgnoringCase(name, names[i])) {
        values[i] = value;
        --missing;
      }
    }
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
