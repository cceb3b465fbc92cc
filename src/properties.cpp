#include "properties.h"

#include "DirectiveText.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstring>

namespace {

// Position of the first `c` in text[from, to), or `to`.
std::size_t Find(std::string_view text, char c, std::size_t from,
                 std::size_t to) {
  if (from >= to) {
    return to; // and an empty text may have no data pointer at all
  }
  const void *found = std::memchr(text.data() + from, c, to - from);
  return found != nullptr
             ? static_cast<std::size_t>(static_cast<const char *>(found) -
                                        text.data())
             : to;
}

// Reads property text line by line. CR, LF and CR LF each end a line, so LF
// CR is two breaks; a break at the very end adds no line. The text ends at
// its first NUL. Line ends are found with memchr: each LF once, and a CR
// only up to the next LF, so the text is read about twice in all.
class LineReader {
public:
  explicit LineReader(std::string_view text)
      : text_(text.substr(0, text.find('\0'))),
        nextLf_(Find(text_, '\n', 0, text_.size())) {}

  // The next line, or false when there is none.
  bool Next(std::string_view &line) {
    if (pos_ == text_.size()) {
      return false;
    }
    if (nextLf_ < pos_) {
      nextLf_ = Find(text_, '\n', pos_, text_.size());
    }
    const std::size_t end = Find(text_, '\r', pos_, nextLf_);
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
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t nextLf_;
};

PropertyLine LineOf(std::string_view text) {
  const std::size_t equals = Find(text, '=', 0, text.size());
  if (equals == text.size()) {
    return {text, {}, false};
  }
  return {text.substr(0, equals), text.substr(equals + 1), true};
}

} // namespace

void PropertyLines::Append(const PropertyLine &line) {
  if (spilled_.empty() && size_ < kInline) {
    inline_[size_++] = line;
    return;
  }
  if (spilled_.empty()) {
    spilled_.assign(inline_.begin(), inline_.begin() + kInline);
  }
  spilled_.push_back(line);
  ++size_;
}

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

void PropertyLines::Clear() {
  spilled_.clear();
  size_ = 0;
}

void PropertyList::FromText(std::string_view text) {
  lines_.Clear();
  std::string_view line;
  for (LineReader lines(text); lines.Next(line);) {
    lines_.Append(LineOf(line));
  }
}

void PropertyList::ToText(ResultWriter &out) const {
  for (std::size_t i = 0; i < lines_.Size(); ++i) {
    const PropertyLine &line = lines_[i];
    out << line.name;
    if (line.hasEquals) {
      out << '=' << line.value;
    }
    out << "\r\n";
  }
}

std::optional<std::size_t> PropertyList::FindName(std::string_view name) const {
  for (std::size_t i = 0; i < lines_.Size(); ++i) {
    const PropertyLine &line = lines_[i];
    // A name spelled exactly as asked for is equal under any locale, and
    // property text that a parse callback wrote is all spelled so.
    if (line.hasEquals && (line.name == name ||
                           platform::EqualsIgnoringCase(line.name, name))) {
      return i;
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
