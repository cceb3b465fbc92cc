// Case-insensitive comparison under the user's locale, as the platform tells
// it, with the shortcuts that let most comparisons of names skip the locale.
#pragma once

#include "Words.h"
#include "platform/platform.h"

#include <array>
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

// 0x20 in each byte of `word`, a word of ASCII bytes, that is a letter:
// the bit that tells a letter's cases apart. No byte of `lower` is above
// 0x7f, so adding to it carries into no other byte: a byte's top bit then
// says whether it reached the bound.
constexpr std::uint64_t CaseBits(std::uint64_t word) {
  const std::uint64_t lower = word | kEveryByte * 0x20;
  const std::uint64_t letters = (lower + kEveryByte * (0x80 - 'a')) &
                                ~(lower + kEveryByte * (0x80 - 'z' - 1)) &
                                kTopBits;
  return letters >> 2;
}

// A word of ASCII bytes as its case-insensitive key: every letter in lower
// case. With `caseBits` its CaseBits, any other word `w` holds the same bytes
// but for the case of letters exactly when (w | caseBits) is the key: at a
// letter, w's byte is then the letter in either case, elsewhere the byte
// itself (a byte of 0x80 or above never matches).
struct FoldedWord {
  std::uint64_t key = 0;
  std::uint64_t caseBits = 0;

  constexpr explicit FoldedWord(std::uint64_t word)
      : key(word | CaseBits(word)), caseBits(CaseBits(word)) {}
  constexpr bool Matches(std::uint64_t other) const {
    return (other | caseBits) == key;
  }
};

// Whether two ASCII strings of the same length of more than 16 bytes are
// equal but for the case of ASCII letters, a word at a time; out of line.
bool EqualsLongAsciiIgnoringCase(std::string_view a, std::string_view b);

// The first word of a string of up to 16 bytes and its last if it has
// more than 8 (overlapping): with its size, the string itself.
constexpr std::uint64_t HeadWord(std::string_view s) {
  if (s.empty()) {
    return 0;
  }
  return s.size() < 8 ? words::LoadPart(s.data(), s.size()) : Word(s.data());
}
constexpr std::uint64_t TailWord(std::string_view s) {
  return s.size() > 8 ? Word(s.data() + s.size() - 8) : 0;
}

struct ExactName {
  std::size_t size;
  std::uint64_t head;
  std::uint64_t tail;
};

inline constexpr auto kOwnExactNames = [] {
  std::array<ExactName, platform::kOwnNames.size()> names{};
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string_view name = platform::kOwnNames[i];
    names[i] = {name.size(), HeadWord(name), TailWord(name)};
  }
  return names;
}();

} // namespace case_folding

// The index in platform::kOwnNames of the name with exactly the bytes of
// `name`, or platform::kNotOwnName: a compare of sizes and of two words with
// each own name, inline, since most lookups on Windows ask it of every line.
[[gnu::always_inline]] constexpr std::size_t
OwnNameIndex(std::string_view name) {
  using namespace case_folding;
  if (name.size() > 16) {
    return platform::kNotOwnName;
  }
  const std::uint64_t head = HeadWord(name);
  const std::uint64_t tail = TailWord(name);
  for (std::size_t i = 0; i < kOwnExactNames.size(); ++i) {
    const ExactName &own = kOwnExactNames[i];
    if (own.size == name.size() && own.head == head && own.tail == tail) {
      return i;
    }
  }
  return platform::kNotOwnName;
}

// Whether every byte of `s` is below 0x80; a constant string is read at
// compile time too.
constexpr bool IsAscii(std::string_view s) {
  using namespace case_folding;
  const std::size_t size = s.size();
  if (size < 8) {
    return size == 0 || (words::LoadPart(s.data(), size) & kTopBits) == 0;
  }
  std::uint64_t any = Word(s.data() + size - 8);
  for (std::size_t i = 0; i + 8 < size; i += 8) {
    any |= Word(s.data() + i);
  }
  return (any & kTopBits) == 0;
}

// A name made ready to be compared with many others ignoring case: its
// bytes, whether they are all ASCII, and, for an ASCII name of up to 16
// bytes, the keys of its first and last word (overlapping). A constant name
// is made at compile time, so that a lookup of it holds its keys as
// constants.
class FoldedName {
public:
  constexpr FoldedName(std::string_view name)
      : name_(name), ascii_(IsAscii(name)), head_(HeadOf(name, ascii_)),
        tail_(TailOf(name, ascii_)), own_(OwnNameIndex(name)) {}
  // Any string a string_view can be made of, as a name too.
  template <typename Text>
  requires std::is_convertible_v<const Text &, std::string_view>
  constexpr FoldedName(const Text &name) : FoldedName(std::string_view(name)) {}

  constexpr std::string_view Name() const { return name_; }
  constexpr std::size_t Size() const { return name_.size(); }
  constexpr bool Ascii() const { return ascii_; }
  // Its index among the module's own names, or platform::kNotOwnName.
  constexpr std::size_t Own() const { return own_; }

  // For an ASCII name: whether the Size() bytes at `other` are the name's
  // but for the case of ASCII letters.
  [[gnu::always_inline]] bool SameAsciiBytes(const char *other) const {
    using namespace case_folding;
    const std::size_t size = name_.size();
    if (size > 16) {
      return EqualsLongAsciiIgnoringCase({other, size}, name_);
    }
    if (size < 8) {
      return size == 0 || head_.Matches(words::LoadPart(other, size));
    }
    return head_.Matches(Word(other)) && tail_.Matches(Word(other + size - 8));
  }

private:
  static constexpr case_folding::FoldedWord HeadOf(std::string_view name,
                                                   bool ascii) {
    using namespace case_folding;
    if (!ascii || name.empty() || name.size() > 16) {
      return FoldedWord(0);
    }
    return FoldedWord(name.size() < 8
                          ? words::LoadPart(name.data(), name.size())
                          : Word(name.data()));
  }
  static constexpr case_folding::FoldedWord TailOf(std::string_view name,
                                                   bool ascii) {
    using namespace case_folding;
    if (!ascii || name.size() < 8 || name.size() > 16) {
      return FoldedWord(0);
    }
    return FoldedWord(Word(name.data() + name.size() - 8));
  }

  std::string_view name_;
  bool ascii_;
  case_folding::FoldedWord head_;
  case_folding::FoldedWord tail_;
  std::size_t own_;
};

// Compares one name with many, ignoring case under the user's locale: what
// platform::EqualsIgnoringCase answers, asking it only when shortcuts cannot.
// The same spelling is equal under any locale. Where ASCII folds plainly
// (platform::AsciiFoldsPlainly), two ASCII strings are sequences of whole
// characters that fold as in "C", so they are equal exactly when they have
// the same length and bytes that differ only in the case of ASCII letters
// (FoldedName::SameAsciiBytes). Else, there, they are read byte by byte
// while both bytes are ASCII: a byte that differs other than in case, or one
// string ending before the other, decides the answer; only a byte that is
// not ASCII hands the rest to the locale. An own name compared with another
// spelled exactly as one of them takes the answer the platform layer settled
// for the pair as it loaded (platform::OwnNamesEqual): the locale's own
// answer for those very bytes. Any other pair goes to the locale.
class CaseInsensitiveName {
public:
  [[gnu::always_inline]] explicit CaseInsensitiveName(const FoldedName &name)
      : name_(name), asciiFoldsPlainly_(platform::AsciiFoldsPlainly()),
        byBytes_(asciiFoldsPlainly_ && name.Ascii()) {}

  // Whether an ASCII name equals this one exactly when it has the same
  // length and SameAsciiBytes says so; any other needs ByLocale.
  bool ByBytes() const { return byBytes_; }
  std::size_t Size() const { return name_.Size(); }
  [[gnu::always_inline]] bool SameAsciiBytes(const char *other) const {
    return name_.SameAsciiBytes(other);
  }

  // Whether `other`, of which `otherAscii` says whether it is all ASCII,
  // equals the name. Most names differ in length, so that decides first.
  [[gnu::always_inline]] bool Matches(std::string_view other,
                                      bool otherAscii) const {
    if (byBytes_ && otherAscii) {
      return other.size() == Size() && SameAsciiBytes(other.data());
    }
    return ByLocale(other);
  }
  [[gnu::always_inline]] bool Matches(std::string_view other) const {
    return Matches(other, IsAscii(other));
  }

  // The comparison past the shortcut of lengths and bytes.
  [[gnu::always_inline]] bool ByLocale(std::string_view other) const {
    if (name_.Own() != platform::kNotOwnName) {
      const std::size_t otherOwn = OwnNameIndex(other);
      if (otherOwn != platform::kNotOwnName) {
        return platform::OwnNamesEqual(name_.Own(), otherOwn);
      }
    }
    return ByLocale(name_.Name(), other, asciiFoldsPlainly_);
  }

private:
  // Out of line, so that the shortcuts stay small enough to inline into
  // every lookup, given values, so that the name stays in registers there,
  // and cold, so that a lookup readies its arguments only on the way to it
  // (where the locale is asked, its cost dwarfs the call's).
  [[gnu::cold]] static bool ByLocale(std::string_view name,
                                     std::string_view other,
                                     bool asciiFoldsPlainly);

  FoldedName name_;
  bool asciiFoldsPlainly_;
  bool byBytes_; // ASCII folds plainly, and the name is ASCII
};

// Inline, so that a constant name's keys become constants.
[[gnu::always_inline]] inline bool EqualsIgnoringCase(const FoldedName &a,
                                                      std::string_view b) {
  return CaseInsensitiveName(a).Matches(b);
}
