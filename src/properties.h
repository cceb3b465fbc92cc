// Property text: the lines "name=value" that parse callbacks write and
// assemble callbacks read, held as a PropertyList while a callback runs.
#pragma once

#include "CaseFolding.h"
#include "DirectiveText.h"
#include "ResultWriter.h"
#include "Words.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

// One line of a property list, held as views into text the list does not
// own: a line read from property text is cut at its first '=', a line set by
// PutValue is the name and the value it was given. Its name's length and
// kind share one integer, so that a lookup passes over a line of another
// length, or takes it for one to compare by bytes, in one compare.
class PropertyLine {
public:
  constexpr PropertyLine() = default;

  // The line «name=value»; `asciiName` says whether the name is all ASCII.
  static constexpr PropertyLine Named(std::string_view name,
                                      std::string_view value, bool asciiName) {
    return {name, value, NamedKind(asciiName)};
  }
  // A line without '=', which has no name and never matches a lookup.
  static constexpr PropertyLine Unnamed(std::string_view text) {
    return {text, {}, kNoName};
  }

  // Before the first '='; the whole line without one.
  constexpr std::string_view Name() const {
    return {name_, static_cast<std::size_t>(nameKey_ & kSizeBits)};
  }
  // After the first '='.
  constexpr std::string_view Value() const { return {value_, valueSize_}; }
  constexpr bool HasEquals() const { return Kind() != kNoName; }
  constexpr bool AsciiName() const { return Kind() == kAsciiName; }

  // Whether the line has an all-ASCII name of `size` bytes.
  constexpr bool HasAsciiNameOf(std::size_t size) const {
    return nameKey_ == size;
  }
  // Whether the line has a name that is not all ASCII.
  constexpr bool HasOtherName() const {
    return static_cast<std::int64_t>(nameKey_) < 0;
  }

  // Makes the line Named(name, value, asciiName) in place, member by member:
  // a line built whole and copied goes through memory.
  constexpr void SetNamed(std::string_view name, std::string_view value,
                          bool asciiName) {
    name_ = name.data();
    value_ = value.data();
    valueSize_ = value.size();
    nameKey_ = KeyOf(name.size(), NamedKind(asciiName));
  }

  // Marks the name as not all ASCII, for a line made Named with `asciiName`.
  constexpr void MarkOtherName() {
    nameKey_ = KeyOf(nameKey_ & kSizeBits, kOtherName);
  }

private:
  // kOtherName is the top bit alone, so that a lookup tests it by the sign.
  enum NameKind : unsigned { kAsciiName = 0, kNoName = 1, kOtherName = 2 };
  static constexpr std::uint64_t kSizeBits = ~std::uint64_t{0} >> 2;

  static constexpr NameKind NamedKind(bool asciiName) {
    return asciiName ? kAsciiName : kOtherName;
  }
  static constexpr std::uint64_t KeyOf(std::size_t size, NameKind kind) {
    return size | std::uint64_t{kind} << 62;
  }

  constexpr PropertyLine(std::string_view name, std::string_view value,
                         NameKind kind)
      : name_(name.data()), value_(value.data()), valueSize_(value.size()),
        nameKey_(KeyOf(name.size(), kind)) {}

  constexpr NameKind Kind() const {
    return static_cast<NameKind>(nameKey_ >> 62);
  }

  const char *name_;
  const char *value_;
  std::size_t valueSize_;
  std::uint64_t nameKey_; // the name's size, its Kind in the top bits
};

// The lines of one list. The first few live in the list itself, so that a
// typical list costs no heap allocation and copies as plain bytes; a list
// that grows past them moves all its lines to the heap.
class PropertyLines {
public:
  static constexpr std::size_t kInline = 6;

  // Lines past Size() are left as they are: a list that is made costs no
  // stores but its bounds. A list made at compile time must hold no
  // indeterminate bytes, so there they are set.
  constexpr PropertyLines() {
    if (std::is_constant_evaluated()) {
      inline_ = {};
    }
  }
  constexpr PropertyLines(const PropertyLines &other)
      : outOfMemory_(other.outOfMemory_), otherNames_(other.otherNames_) {
    if (other.OnHeap()) {
      CopyHeap(other);
    } else {
      CopyInline(other);
    }
  }
  constexpr PropertyLines(PropertyLines &&other) noexcept
      : outOfMemory_(other.outOfMemory_), otherNames_(other.otherNames_) {
    if (other.OnHeap()) {
      begin_ = other.begin_;
      end_ = other.end_;
      limit_ = other.limit_;
      other.begin_ = other.end_ = other.inline_.data();
      other.limit_ = other.inline_.data() + kInline;
    } else {
      CopyInline(other);
    }
  }
  PropertyLines &operator=(const PropertyLines &) = delete;
  constexpr ~PropertyLines() {
    if (OnHeap()) {
      Free(begin_);
    }
  }

  constexpr std::size_t Size() const {
    return static_cast<std::size_t>(end_ - begin_);
  }
  constexpr const PropertyLine *begin() const { return begin_; }
  constexpr const PropertyLine *end() const { return end_; }
  constexpr PropertyLine *begin() { return begin_; }
  constexpr PropertyLine *end() { return end_; }
  constexpr const PropertyLine &operator[](std::size_t i) const {
    return begin_[i];
  }
  constexpr PropertyLine &operator[](std::size_t i) { return begin_[i]; }

  // Appends `line`; without the memory to grow, drops it and every later
  // one, and the lines are OutOfMemory().
  constexpr void Append(const PropertyLine &line) {
    if (end_ == limit_ && !Grow()) {
      return;
    }
    *end_++ = line;
  }

  // Whether a line was dropped for want of memory since the last Clear.
  constexpr bool OutOfMemory() const { return outOfMemory_; }

  void Erase(PropertyLine *line);

  // Whether a line's name may be beyond ASCII since the last Clear: lookups
  // by bytes then ask the locale about such lines.
  constexpr bool OtherNames() const { return otherNames_; }
  constexpr void SetOtherNames() { otherNames_ = true; }

  constexpr void Clear() {
    end_ = begin_;
    outOfMemory_ = false;
    otherNames_ = false;
  }

private:
  constexpr bool OnHeap() const { return begin_ != inline_.data(); }

  // Doubles the capacity, on the heap; out of line: rare, and too large to
  // copy into every caller. Without the memory, marks the lines out of
  // memory and returns false. The heap is reached through malloc, never
  // operator new: the C++ runtime throws inside even the nothrow new, and a
  // throw needs memory of its own, for want of which the C library of a C
  // host ends the process.
  bool Grow();
  void CopyHeap(const PropertyLines &other);
  constexpr void CopyInline(const PropertyLines &other) {
    if (std::is_constant_evaluated()) {
      inline_ = other.inline_;
    }
    end_ = std::copy(other.begin_, other.end_, begin_);
  }
  static void Free(PropertyLine *lines);

  std::array<PropertyLine, kInline> inline_;
  // The lines, in inline_ or on the heap, and the end of their room.
  PropertyLine *begin_ = inline_.data();
  PropertyLine *end_ = begin_;
  PropertyLine *limit_ = begin_ + kInline;
  bool outOfMemory_ = false;
  bool otherNames_ = false;
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
  //
  // One pass, a word at a time: in each word the bytes below 14 (CR and LF
  // among them: one test for both) and the '=' are marked, and each line
  // end is taken in turn; a line's first '=' is then the first one marked
  // before its end, so that no byte is read twice and a later '=' costs
  // nothing. Other marked control bytes are passed over. Whether names are
  // ASCII is settled for the whole text at once: mostly it is, and no name
  // needs looking at again.
  constexpr void FromText(std::string_view text) {
    using namespace words;
    lines_.Clear();
    const std::size_t size = text.size();
    LineSplitter split(text.data(), size, lines_);
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
      split.Word(i, Load(text.data() + i), ~std::uint64_t{0});
    }
    if (i < size) {
      // The last bytes: where the text has a word, its last word shifted
      // down, else the few bytes themselves.
      const unsigned shift = static_cast<unsigned>(64 - 8 * (size - i));
      split.Word(i,
                 size >= 8 ? Load(text.data() + size - 8) >> shift
                           : LoadPart(text.data() + i, size - i),
                 ~std::uint64_t{0} >> shift);
    }
    if (split.End() != 0 && MarkOtherNames()) {
      lines_.SetOtherNames();
    }
  }

  // Writes every line followed by CR LF; nothing for an empty list. Inline,
  // so that the writer's state stays in registers.
  [[gnu::always_inline]] void ToText(ResultWriter &out) const {
    for (const PropertyLine &line : lines_) {
      if (line.HasEquals()) {
        out.Write(line.Name(), '=', line.Value(), "\r\n");
      } else {
        out.Write(line.Name(), "\r\n");
      }
    }
  }

  // Index of the first line whose name equals `name` ignoring case under
  // the user's locale. Lines without '=' never match.
  std::optional<std::size_t> FindName(const FoldedName &name) const {
    const PropertyLine *line = Find(CaseInsensitiveName(name));
    if (line == nullptr) {
      return std::nullopt;
    }
    return static_cast<std::size_t>(line - lines_.begin());
  }

  // The text after the first '=' of the line FindName matches, unchanged;
  // empty when no line matches. The matched name may differ in length from
  // `name` (a locale can fold "straße" to "strasse"); the value is what
  // follows the line's own '='.
  [[gnu::always_inline]] std::string_view
  ValueOf(const FoldedName &name) const {
    const PropertyLine *line = Find(CaseInsensitiveName(name));
    return line != nullptr ? line->Value() : std::string_view();
  }

  // A non-empty value replaces the first matching line by "name=value" (or
  // appends one); an empty value removes the first matching line. `name`
  // holds no '=', as a property name never does, so that the new line's
  // name is all of it.
  [[gnu::always_inline]] void PutValue(const FoldedName &name,
                                       std::string_view value) {
    PropertyLine *const found =
        Find(lines_.begin(), lines_.end(), lines_.OtherNames(),
             CaseInsensitiveName(name));
    if (value.empty()) {
      if (found != nullptr) {
        lines_.Erase(found);
      }
      return;
    }
    if (!name.Ascii()) {
      lines_.SetOtherNames();
    }
    if (found != nullptr) {
      found->SetNamed(name.Name(), value, name.Ascii());
    } else {
      lines_.Append(PropertyLine::Named(name.Name(), value, name.Ascii()));
    }
  }

  constexpr const PropertyLines &Lines() const { return lines_; }

  // Whether a line was lost for want of memory (FromText of more lines than
  // the list holds inline, PutValue of a new name): the list is then not
  // the text's, and a callback must give the empty string.
  constexpr bool OutOfMemory() const { return lines_.OutOfMemory(); }

private:
  static constexpr std::size_t kNoEquals = ~std::size_t{0};

  [[gnu::always_inline]] const PropertyLine *
  Find(const CaseInsensitiveName &wanted) const {
    return Find(lines_.begin(), lines_.end(), lines_.OtherNames(), wanted);
  }

  // The first line whose name matches `wanted`, or null. Where ASCII names
  // compare by bytes, a line is passed over by its name's length and kind
  // alone unless its name is of the wanted length or, where `otherNames`
  // says some may be, not all ASCII.
  template <typename Line>
  [[gnu::always_inline]] static Line *Find(Line *begin, Line *end,
                                           bool otherNames,
                                           const CaseInsensitiveName &wanted) {
    if (wanted.ByBytes() && !otherNames) {
      for (Line *line = begin; line != end; ++line) {
        if (line->HasAsciiNameOf(wanted.Size()) &&
            wanted.SameAsciiBytes(line->Name().data())) {
          return line;
        }
      }
      return nullptr;
    }
    if (wanted.ByBytes()) {
      for (Line *line = begin; line != end; ++line) {
        if (line->HasAsciiNameOf(wanted.Size())
                ? wanted.SameAsciiBytes(line->Name().data())
                : line->HasOtherName() && wanted.ByLocale(line->Name())) {
          return line;
        }
      }
      return nullptr;
    }
    const std::size_t found = FindByLocale(
        begin, end, wanted.Name(), wanted.Own(), wanted.AsciiFoldsPlainly());
    return found == static_cast<std::size_t>(end - begin) ? nullptr
                                                          : begin + found;
  }

  // The index of the first line with '=' whose name matches the name
  // `name` (CaseInsensitiveName::ByLocale), or the number of lines: the
  // lookup where names do not compare by bytes alone. Out of line and cold,
  // so that the byte path stays as small as it is without it; on Windows,
  // the path of every lookup.
  [[gnu::cold]] static std::size_t
  FindByLocale(const PropertyLine *begin, const PropertyLine *end,
               std::string_view name, std::size_t own, bool asciiFoldsPlainly);

  // FromText's state between words: where the line being read starts, its
  // first '=' once found, and every byte read so far, OR-ed.
  class LineSplitter {
  public:
    constexpr LineSplitter(const char *text, std::size_t size,
                           PropertyLines &lines)
        : text_(text), size_(size), lines_(lines) {}

    // Takes the word at text[i], its bytes past the text cleared, and
    // `valid` marking the bytes that are in it.
    [[gnu::always_inline]] constexpr void
    Word(std::size_t i, std::uint64_t word, std::uint64_t valid) {
      using namespace words;
      any_ |= word;
      const std::uint64_t clearTops = ClearTopBits(word);
      std::uint64_t equalsMarks = BytesEqual(word, '=', clearTops);
      for (std::uint64_t ends = BytesBelow(word, '\r' + 1, clearTops) & valid;
           ends != 0; ends &= ends - 1) {
        const std::size_t at = i + FirstMarked(ends);
        const char c = text_[at];
        if ((c != '\r' && c != '\n') || at < start_) {
          continue; // another control byte, or the LF of a CR LF
        }
        const std::uint64_t end = ends & (0 - ends);
        const std::uint64_t before = end - 1;
        if (equals_ == kNoEquals && (equalsMarks & before) != 0) {
          equals_ = i + FirstMarked(equalsMarks & before);
        }
        equalsMarks &= ~before;
        Append(at);
        start_ = at + 1;
        if (c == '\r' && start_ < size_ && text_[start_] == '\n') {
          ++start_;
          ends &= ~(end << 8); // its LF, if in this word, is not visited
        }
      }
      if (equals_ == kNoEquals && equalsMarks != 0) {
        equals_ = i + FirstMarked(equalsMarks);
      }
    }

    // Appends the last line, if the text does not end with a break, and
    // tells whether a byte read was not ASCII.
    constexpr std::uint64_t End() {
      if (start_ < size_) {
        Append(size_);
      }
      return any_ & words::kTopBits;
    }

  private:
    // Appends text[start_, end), cut at equals_ unless that is kNoEquals; its
    // name taken for ASCII until MarkOtherNames says otherwise.
    constexpr void Append(std::size_t end) {
      const char *const line = text_ + start_;
      if (equals_ == kNoEquals) {
        lines_.Append(PropertyLine::Unnamed({line, end - start_}));
      } else {
        lines_.Append(PropertyLine::Named(
            {line, equals_ - start_}, {text_ + equals_ + 1, end - equals_ - 1},
            true));
        equals_ = kNoEquals;
      }
    }

    const char *text_;
    std::size_t size_;
    PropertyLines &lines_;
    std::size_t start_ = 0;
    std::size_t equals_ = kNoEquals;
    std::uint64_t any_ = 0;
  };

  // Marks each name that is not all ASCII, for a text that is not; whether
  // there was one.
  bool MarkOtherNames();

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
