// Property text: the lines "name=value" that parse callbacks write and
// assemble callbacks read, held as a PropertyList while a callback runs.
#pragma once

#include "ResultWriter.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One line of a property list, held as views into text the list does not
// own: a line read from property text is cut at its first '=', a line set by
// PutValue is the name and the value it was given.
struct PropertyLine {
  std::string_view name;  // before the first '='; the whole line without one
  std::string_view value; // after the first '='
  bool hasEquals = false; // a line without '=' has no name at all
};

// The lines of one list. The first few live in the list itself, so that a
// typical list costs no heap allocation; a list that grows past them moves
// all its lines to the heap.
class PropertyLines {
public:
  static constexpr std::size_t kInline = 6;

  constexpr std::size_t Size() const { return size_; }
  constexpr const PropertyLine *begin() const { return Data(); }
  constexpr const PropertyLine *end() const { return Data() + size_; }
  constexpr const PropertyLine &operator[](std::size_t i) const {
    return Data()[i];
  }
  constexpr PropertyLine &operator[](std::size_t i) { return Data()[i]; }

  constexpr void Append(const PropertyLine &line) {
    if (spilled_.empty() && size_ < kInline) {
      inline_[size_++] = line;
      return;
    }
    if (spilled_.empty()) {
      spilled_.assign(inline_.begin(), inline_.end());
    }
    spilled_.push_back(line);
    ++size_;
  }

  void Erase(std::size_t i);

  constexpr void Clear() {
    spilled_.clear();
    size_ = 0;
  }

private:
  // The heap holds the lines whenever it holds any.
  constexpr const PropertyLine *Data() const {
    return spilled_.empty() ? inline_.data() : spilled_.data();
  }
  constexpr PropertyLine *Data() {
    return spilled_.empty() ? inline_.data() : spilled_.data();
  }

  std::array<PropertyLine, kInline> inline_;
  std::vector<PropertyLine> spilled_;
  std::size_t size_ = 0;
};

// An ordered list of property lines with lookup by name. It copies nothing:
// every line views the text it came from or the name and value given to
// PutValue, which must stay valid while the list is used. The text is
// written only by ToText, straight into a result.
class PropertyList {
public:
  // Replaces the contents with the lines of `text`, which holds no NUL (a
  // host string ends at its own). CR, LF and CR LF each break a line (LF CR
  // is two breaks); a break at the very end adds no line. A constant text
  // can be loaded at compile time.
  constexpr void FromText(std::string_view text) {
    lines_.Clear();
    // Line ends are found with memchr: each LF once, and a CR only up to the
    // next LF, so the text is read about twice in all.
    std::size_t lf = Find(text, '\n', 0, text.size());
    for (std::size_t pos = 0; pos < text.size();) {
      if (lf < pos) {
        lf = Find(text, '\n', pos, text.size());
      }
      const std::size_t end = Find(text, '\r', pos, lf);
      const std::size_t equals = Find(text, '=', pos, end);
      if (equals < end) {
        lines_.Append({text.substr(pos, equals - pos),
                       text.substr(equals + 1, end - equals - 1), true});
      } else {
        lines_.Append({text.substr(pos, end - pos), {}, false});
      }
      pos = end;
      if (pos < text.size() && text[pos] == '\r') {
        ++pos;
      }
      if (pos < text.size() && text[pos] == '\n') {
        ++pos;
      }
    }
  }

  // Writes every line followed by CR LF; nothing for an empty list.
  void ToText(ResultWriter &out) const;

  // Index of the first line whose name equals `name` ignoring case under
  // the user's locale. Lines without '=' never match.
  std::optional<std::size_t> FindName(std::string_view name) const;

  // The text after the first '=' of the line FindName matches, unchanged;
  // empty when no line matches.
  std::string_view ValueOf(std::string_view name) const;

  // A non-empty value replaces the first matching line by "name=value" (or
  // appends one); an empty value removes the first matching line. `name`
  // holds no '=', as a property name never does, so that the new line's
  // name is all of it.
  void PutValue(std::string_view name, std::string_view value);

  constexpr const PropertyLines &Lines() const { return lines_; }

private:
  // Position of the first `c` in text[from, to), or `to`.
  static constexpr std::size_t Find(std::string_view text, char c,
                                    std::size_t from, std::size_t to) {
    if (from >= to) {
      return to; // and an empty text may have no data pointer at all
    }
    const char *found =
        std::char_traits<char>::find(text.data() + from, to - from, c);
    return found != nullptr ? static_cast<std::size_t>(found - text.data())
                            : to;
  }

  PropertyLines lines_;
};

// `s` without leading and trailing characters of codes 0 to 32, then without
// at most one leading and one trailing double quote.
std::string_view NormalizeValue(std::string_view s);
