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

// The own names by size, for exact comparison: those of size s are
// names[first[s]] to names[first[s + 1]], each its two words and index.
struct OwnNamesBySize {
  struct Name {
    std::uint64_t head;
    std::uint64_t tail;
    std::size_t index;
  };
  static constexpr std::size_t kLongest = 16;
  std::array<std::size_t, kLongest + 2> first;
  std::array<Name, platform::kOwnNames.size()> names;
};

inline constexpr OwnNamesBySize kOwnNamesBySize = [] {
  OwnNamesBySize bySize{};
  std::size_t next = 0;
  for (std::size_t size = 0; size <= OwnNamesBySize::kLongest; ++size) {
    bySize.first[size] = next;
    for (std::size_t i = 0; i < platform::kOwnNames.size(); ++i) {
      const std::string_view name = platform::kOwnNames[i];
      if (name.size() == size) {
        bySize.names[next++] = {HeadWord(name), TailWord(name), i};
      }
    }
  }
  bySize.first[OwnNamesBySize::kLongest + 1] = next;
  return bySize;
}();
static_assert(kOwnNamesBySize.first.back() == platform::kOwnNames.size(),
              "every own name is at most kLongest bytes");

} // namespace case_folding

// The index in platform::kOwnNames of the name with exactly the bytes of
// `name`, or platform::kNotOwnName: its size picks the own names to compare
// by two words, since most lookups on Windows ask it of every line.
[[gnu::always_inline]] constexpr std::size_t
OwnNameIndex(std::string_view name) {
  using namespace case_folding;
  const std::size_t size = name.size();
  if (size > OwnNamesBySize::kLongest) {
    return platform::kNotOwnName;
  }
  for (std::size_t i = kOwnNamesBySize.first[size];
       i < kOwnNamesBySize.first[size + 1]; ++i) {
    const OwnNamesBySize::Name &own = kOwnNamesBySize.names[i];
    if (own.head == HeadWord(name) && own.tail == TailWord(name)) {
      return own.index;
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

  // The comparison past the shortcut of lengths and bytes: out of line.
  [[gnu::always_inline]] bool ByLocale(std::string_view other) const {
    return ByLocaleOutOfLine(name_.Name(), name_.Own(), other,
                             asciiFoldsPlainly_);
  }

  // The same for the name `name`, its index among the own names `own` and
  // AsciiFoldsPlainly(), given as values, inline: for a loop out of line
  // that asks it of every line.
  [[gnu::always_inline]] static bool ByLocale(std::string_view name,
                                              std::size_t own,
                                              std::string_view other,
                                              bool asciiFoldsPlainly) {
    const int settled = SettledAnswer(own, other);
    return settled >= 0 ? settled != 0
                        : ByLocaleNotSettled(name, other, asciiFoldsPlainly);
  }
  std::string_view Name() const { return name_.Name(); }
  std::size_t Own() const { return name_.Own(); }
  bool AsciiFoldsPlainly() const { return asciiFoldsPlainly_; }

private:
  // Out of line, so that the shortcuts stay small enough to inline into
  // every lookup, given values, so that the name stays in registers there,
  // and cold, so that a lookup readies its arguments only on the way to it
  // (where the locale is asked, its cost dwarfs the call's).
  [[gnu::cold]] static bool ByLocaleOutOfLine(std::string_view name,
                                              std::size_t own,
                                              std::string_view other,
                                              bool asciiFoldsPlainly);
  [[gnu::cold]] static bool ByLocaleNotSettled(std::string_view name,
                                               std::string_view other,
                                               bool asciiFoldsPlainly);

  // For the own name `own` and a name spelled exactly as an own name, the
  // answer the platform settled for the pair (1 or 0); -1 for any other.
  [[gnu::always_inline]] static int SettledAnswer(std::size_t own,
                                                  std::string_view other) {
    if (own == platform::kNotOwnName) {
      return -1;
    }
    const std::size_t otherOwn = OwnNameIndex(other);
    if (otherOwn == platform::kNotOwnName) {
      return -1;
    }
    return platform::OwnNamesEqual(own, otherOwn) ? 1 : 0;
  }

  FoldedName name_;
  bool asciiFoldsPlainly_;
  bool byBytes_; // ASCII folds plainly, and the name is ASCII
};

// Inline, so that a constant name's keys become constants.
[[gnu::always_inline]] inline bool EqualsIgnoringCase(const FoldedName &a,
                                                      std::string_view b) {
  return CaseInsensitiveName(a).Matches(b);
}
