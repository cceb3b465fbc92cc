// Property text: the lines "name=value" that parse callbacks write and
// assemble callbacks read, held as a PropertyList while a callback runs.
#pragma once

#include <array>
#include <cstddef>
#include <memory_resource>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class PropertyList {
public:
  using Line = std::pmr::string;

  explicit PropertyList(
      std::pmr::memory_resource *memory = std::pmr::get_default_resource());

  // Replaces the contents with the lines of `text`. CR, LF and CR LF each
  // break a line (LF CR is two breaks); a break at the very end adds no
  // line. The text ends at its first NUL.
  void FromText(std::string_view text);

  // Every line followed by CR LF; the empty string for an empty list.
  Line ToText() const;

  // Index of the first line whose name (the text before its first '=')
  // equals `name` ignoring case under the user's locale. Lines without '='
  // never match.
  std::optional<std::size_t> FindName(std::string_view name) const;

  // The text after the first '=' of the line FindName matches, unchanged;
  // empty when no line matches.
  std::string_view ValueOf(std::string_view name) const;

  // A non-empty value replaces the first matching line by "name=value" (or
  // appends one); an empty value removes the first matching line.
  void PutValue(std::string_view name, std::string_view value);

  const std::pmr::vector<Line> &Lines() const { return lines_; }

private:
  std::pmr::vector<Line> lines_;
};

// Looks `names` up in property text without loading it into a list: each
// value is the one ValueOf would give after FromText(text), or nothing when
// no line has the name. One pass over the text, nothing copied: the assemble
// callbacks run once per directive and need just these few values. No two
// of `names` may be equal ignoring case.
void FindValues(std::string_view text, std::span<const std::string_view> names,
                std::span<std::optional<std::string_view>> values);

// FindValues for a fixed set of names; a name without a line gets the empty
// value, as from ValueOf.
template <std::size_t N>
std::array<std::string_view, N>
ValuesOf(std::string_view text, const std::array<std::string_view, N> &names) {
  std::array<std::optional<std::string_view>, N> found;
  FindValues(text, names, found);
  std::array<std::string_view, N> values;
  for (std::size_t i = 0; i < N; ++i) {
    values[i] = found[i].value_or(std::string_view());
  }
  return values;
}

// `s` without leading and trailing characters of codes 0 to 32, then without
// at most one leading and one trailing double quote.
std::string_view NormalizeValue(std::string_view s);

// Stack memory for the property list of one callback, so that a typical
// directive costs no heap allocation; larger ones spill to the heap.
class CallArena {
public:
  CallArena() = default;
  CallArena(const CallArena &) = delete;
  CallArena &operator=(const CallArena &) = delete;

  std::pmr::memory_resource *Memory() { return &resource_; }

private:
  alignas(std::max_align_t) std::array<std::byte, 2048> buffer_;
  std::pmr::monotonic_buffer_resource resource_{buffer_.data(), buffer_.size()};
};
