// Case-insensitive comparison under the user's locale, as the platform tells
// it, with the shortcuts that let most comparisons of names skip the locale.
#pragma once

#include "platform/platform.h"

#include <string_view>

namespace case_folding {

inline bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

inline char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace case_folding

// What platform::EqualsIgnoringCase answers, asking it only when two
// shortcuts cannot. The same spelling is equal under any locale. Where ASCII
// folds plainly (platform::AsciiFoldsPlainly), strings are read byte by byte
// while both bytes are ASCII: those are whole characters, so a byte that
// differs other than in case, or one string ending before the other, decides
// the answer; only a byte that is not ASCII hands the rest to the locale.
inline bool EqualsIgnoringCase(std::string_view a, std::string_view b,
                               bool asciiFoldsPlainly) {
  using namespace case_folding;
  if (a == b) {
    return true;
  }
  if (asciiFoldsPlainly) {
    for (std::size_t i = 0;; ++i) {
      if (i == a.size() || i == b.size()) {
        return a.size() == b.size(); // else the other has a character more
      }
      if (!IsAscii(static_cast<char>(a[i] | b[i]))) {
        break;
      }
      if (a[i] != b[i] && AsciiLower(a[i]) != AsciiLower(b[i])) {
        return false;
      }
    }
  }
  return platform::EqualsIgnoringCase(a, b);
}

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return EqualsIgnoringCase(a, b, platform::AsciiFoldsPlainly());
}
