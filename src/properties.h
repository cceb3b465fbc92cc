// Property text: the lines "name=value" that parse callbacks write and
// assemble callbacks read, held as a PropertyList while a callback runs.
#pragma once

#include "CaseFolding.h"
#include "DirectiveText.h"
#include "ResultWriter.h"
#include "Words.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// One line of a property list, held as views into text the list does not
// own: a line read from property text is cut at its first '=', a line set by
// PutValue is the name and the value it was given.
struct PropertyLine {
  std::string_view name;  // before the first '='; the whole line without one
  std::string_view value; // after the first '='
  bool hasEquals = false; // a line without '=' has no name at all
  bool asciiName = false; // every byte of the name is ASCII
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
    if (size_ < kInline && spilled_.empty()) {
      inline_[size_++] = line;
    } else if (std::is_constant_evaluated()) {
      Spill(line);
    } else {
      AppendSpilled(line);
    }
  }

  void Erase(std::size_t i);

  constexpr void Clear() {
    spilled_.clear();
    size_ = 0;
  }

private:
  // Appends past the inline lines, moving them all to the heap first.
  constexpr void Spill(const PropertyLine &line) {
    if (spilled_.empty()) {
      spilled_.assign(inline_.begin(), inline_.end());
    }
    spilled_.push_back(line);
    ++size_;
  }
  // Spill, out of line: rare, and too large to copy into every caller.
  void AppendSpilled(const PropertyLine &line);

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
    // One pass: each line is read up to its first '=', CR or LF, and a
    // line with '=' on to its CR or LF.
    for (std::size_t pos = 0; pos < text.size();) {
      std::size_t end = FindLineEnd(text, pos, true);
      if (end < text.size() && text[end] == '=') {
        const std::size_t equals = end;
        end = FindLineEnd(text, equals + 1, false);
        const std::string_view name(text.data() + pos, equals - pos);
        lines_.Append({name,
                       {text.data() + equals + 1, end - equals - 1},
                       true,
                       IsAscii(name)});
      } else {
        lines_.Append({{text.data() + pos, end - pos}, {}, false});
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
  void ToText(ResultWriter &out) const {
    for (const PropertyLine &line : lines_) {
      if (line.hasEquals) {
        out.Write(line.name, '=', line.value, "\r\n");
      } else {
        out.Write(line.name, "\r\n");
      }
    }
  }

  // Index of the first line whose name equals `name` ignoring case under
  // the user's locale. Lines without '=' never match.
  std::optional<std::size_t> FindName(std::string_view name) const {
    const PropertyLine *line = Find(name, IsAscii(name));
    if (line == nullptr) {
      return std::nullopt;
    }
    return static_cast<std::size_t>(line - lines_.begin());
  }

  // The text after the first '=' of the line FindName matches, unchanged;
  // empty when no line matches. The matched name may differ in length from
  // `name` (a locale can fold "straße" to "strasse"); the value is what
  // follows the line's own '='.
  [[gnu::always_inline]] std::string_view ValueOf(std::string_view name) const {
    const PropertyLine *line = Find(name, IsAscii(name));
    return line != nullptr ? line->value : std::string_view();
  }

  // A non-empty value replaces the first matching line by "name=value" (or
  // appends one); an empty value removes the first matching line. `name`
  // holds no '=', as a property name never does, so that the new line's
  // name is all of it.
  [[gnu::always_inline]] void PutValue(std::string_view name,
                                       std::string_view value) {
    const bool ascii = IsAscii(name);
    const PropertyLine *found = Find(name, ascii);
    const std::size_t index = static_cast<std::size_t>(
        (found != nullptr ? found : lines_.end()) - lines_.begin());
    if (value.empty()) {
      if (found != nullptr) {
        lines_.Erase(index);
      }
      return;
    }
    const PropertyLine line{name, value, true, ascii};
    if (found != nullptr) {
      lines_[index] = line;
    } else {
      lines_.Append(line);
    }
  }

  constexpr const PropertyLines &Lines() const { return lines_; }

private:
  // The first line whose name matches `name`, of which `ascii` says whether
  // it is all ASCII, or null.
  [[gnu::always_inline]] const PropertyLine *Find(std::string_view name,
                                                  bool ascii) const {
    const CaseInsensitiveName wanted(name, ascii);
    for (const PropertyLine &line : lines_) {
      if (line.hasEquals && wanted.Matches(line.name, line.asciiName)) {
        return &line;
      }
    }
    return nullptr;
  }

  static constexpr bool EndsLine(char c, bool orEquals) {
    return c == '\r' || c == '\n' || (orEquals && c == '=');
  }

  // Position of the first CR or LF in text[from, text.size()), or with
  // `orEquals` of the first '=' too; text.size() when there is none. Read a
  // word at a time, for bytes below 14 (CR and LF among them: one test for
  // both) and '=': a line is mostly a few words long, too short for a call
  // of memchr to pay. Another control byte that the test marks is stepped
  // over.
  static constexpr std::size_t FindLineEnd(std::string_view text,
                                           std::size_t from, bool orEquals) {
    using namespace words;
    std::size_t i = from;
    while (i + 8 <= text.size()) {
      const std::uint64_t word = Load(text.data() + i);
      const std::uint64_t marks =
          BytesBelow(word, '\r' + 1) | (orEquals ? BytesEqual(word, '=') : 0);
      if (marks == 0) {
        i += 8;
        continue;
      }
      const std::size_t at = i + FirstMarked(marks);
      if (EndsLine(text[at], orEquals)) {
        return at;
      }
      i = at + 1;
    }
    for (; i < text.size(); ++i) {
      if (EndsLine(text[i], orEquals)) {
        return i;
      }
    }
    return text.size();
  }

  PropertyLines lines_;
};

// `s` without leading and trailing characters of codes 0 to 32, then without
// at most one leading and one trailing double quote.
inline std::string_view NormalizeValue(std::string_view s) {
  s = Trim(s);
  if (!s.empty() && s.front() == '"') {
    s.remove_prefix(1);
  }
  if (!s.empty() && s.back() == '"') {
    s.remove_suffix(1);
  }
  return s;
}
