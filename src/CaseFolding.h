// Case-insensitive comparison under the user's locale, as the platform tells
// it, with the shortcuts that let most comparisons of names skip the locale.
#pragma once

#include "Words.h"
#include "platform/platform.h"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace case_folding {

inline bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

inline char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

using words::kEveryByte;
using words::kTopBits;

constexpr std::uint64_t Word(const char *p) { return words::Load(p); }

constexpr std::uint64_t HalfWord(const char *p) {
  if (std::is_constant_evaluated()) {
    std::uint64_t half = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      half |= std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
    }
    return half;
  }
  std::uint32_t half;
  std::memcpy(&half, p, sizeof half);
  return half;
}

// The bytes of s[from, from + length), 1 <= length <= 8, in one word: an
// overlapping pair of loads, or for fewer than four bytes the first, middle
// and last one. Each byte lands in the same place for two strings of the
// same length, so words of two strings compare as the strings do.
constexpr std::uint64_t ShortWord(const char *p, std::size_t length) {
  if (length >= 4) {
    return HalfWord(p) | HalfWord(p + length - 4) << 32;
  }
  return static_cast<unsigned char>(p[0]) |
         static_cast<std::uint64_t>(static_cast<unsigned char>(p[length / 2]))
             << 8 |
         static_cast<std::uint64_t>(static_cast<unsigned char>(p[length - 1]))
             << 16;
}

// Whether two words of ASCII bytes hold the same bytes but for the case of
// ASCII letters: every differing byte differs in 0x20 alone, and is a letter.
inline bool SameWordIgnoringCase(std::uint64_t x, std::uint64_t y) {
  const std::uint64_t differ = x ^ y;
  if (differ == 0) {
    return true;
  }
  if ((differ & ~(kEveryByte * 0x20)) != 0) {
    return false;
  }
  // No byte of `lower` is above 0x7f, so adding to it carries into no other
  // byte: a byte's top bit then says whether it reached the bound.
  const std::uint64_t lower = x | kEveryByte * 0x20;
  const std::uint64_t letters = (lower + kEveryByte * (0x80 - 'a')) &
                                ~(lower + kEveryByte * (0x80 - 'z' - 1)) &
                                kTopBits;
  return (differ & ~(letters >> 2)) == 0;
}

// EqualsAsciiIgnoringCase for strings of more than 16 bytes, out of line.
bool EqualsLongAsciiIgnoringCase(std::string_view a, std::string_view b);

// Whether two ASCII strings of the same length are equal but for the case
// of ASCII letters, a word at a time: a name of up to 16 bytes in two
// overlapping words.
[[gnu::always_inline]] inline bool EqualsAsciiIgnoringCase(std::string_view a,
                                                           std::string_view b) {
  const std::size_t size = a.size();
  if (size > 16) {
    return EqualsLongAsciiIgnoringCase(a, b);
  }
  if (size < 8) {
    return size == 0 || SameWordIgnoringCase(ShortWord(a.data(), size),
                                             ShortWord(b.data(), size));
  }
  return SameWordIgnoringCase(Word(a.data()), Word(b.data())) &&
         SameWordIgnoringCase(Word(a.data() + size - 8),
                              Word(b.data() + size - 8));
}

} // namespace case_folding

// Whether every byte of `s` is below 0x80; a constant string is read at
// compile time too.
constexpr bool IsAscii(std::string_view s) {
  using namespace case_folding;
  const std::size_t size = s.size();
  if (size < 8) {
    return size == 0 || (ShortWord(s.data(), size) & kTopBits) == 0;
  }
  std::uint64_t any = Word(s.data() + size - 8);
  for (std::size_t i = 0; i + 8 < size; i += 8) {
    any |= Word(s.data() + i);
  }
  return (any & kTopBits) == 0;
}

// Compares one string with many, ignoring case under the user's locale: what
// platform::EqualsIgnoringCase answers, asking it only when shortcuts cannot.
// The same spelling is equal under any locale. Where ASCII folds plainly
// (platform::AsciiFoldsPlainly), two ASCII strings are sequences of whole
// characters that fold as in "C", so they are equal exactly when they have
// the same length and bytes that differ only in the case of ASCII letters.
// Else, there, they are read byte by byte while both bytes are ASCII: a byte
// that differs other than in case, or one string ending before the other,
// decides the answer; only a byte that is not ASCII hands the rest to the
// locale.
class CaseInsensitiveName {
public:
  // `ascii` says whether every byte of `name` is ASCII.
  CaseInsensitiveName(std::string_view name, bool ascii)
      : name_(name), asciiFoldsPlainly_(platform::AsciiFoldsPlainly()),
        byLength_(asciiFoldsPlainly_ && ascii) {}
  explicit CaseInsensitiveName(std::string_view name)
      : CaseInsensitiveName(name, IsAscii(name)) {}

  // Whether `other`, of which `otherAscii` says whether it is all ASCII,
  // equals the name. Most names differ in length, so that decides first.
  [[gnu::always_inline]] bool Matches(std::string_view other,
                                      bool otherAscii) const {
    if (byLength_ && otherAscii) {
      return other.size() == name_.size() &&
             case_folding::EqualsAsciiIgnoringCase(other, name_);
    }
    return ByLocale(name_, other, asciiFoldsPlainly_);
  }
  bool Matches(std::string_view other) const {
    return Matches(other, IsAscii(other));
  }

private:
  // The comparison past the shortcut of lengths: out of line, so that the
  // shortcut stays small enough to inline into every lookup, given values,
  // so that the name stays in registers there, and cold, so that a lookup
  // readies its arguments only on the way to it (where the locale is asked,
  // its cost dwarfs the call's).
  [[gnu::cold]] static bool ByLocale(std::string_view name,
                                     std::string_view other,
                                     bool asciiFoldsPlainly);

  std::string_view name_;
  bool asciiFoldsPlainly_;
  bool byLength_; // ASCII folds plainly, and the name is ASCII
};

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return CaseInsensitiveName(a).Matches(b);
}
