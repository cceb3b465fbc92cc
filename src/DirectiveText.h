// Character classes and trimming shared by the directive scanners and the
// property text.
#pragma once

#include "Words.h"

#include <cstdint>
#include <string_view>

// Separates tokens in directive text: codes 1 to 32.
inline bool IsWhitespace(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

constexpr bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

constexpr bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// `s` without leading and trailing characters of codes 0 to 32.
inline std::string_view Trim(std::string_view s) {
  const auto trimmed = [](char c) {
    return static_cast<unsigned char>(c) <= 32;
  };
  while (!s.empty() && trimmed(s.front())) {
    s.remove_prefix(1);
  }
  while (!s.empty() && trimmed(s.back())) {
    s.remove_suffix(1);
  }
  return s;
}

// Whether `c` may stand in an unquoted token: it neither separates tokens
// (codes 0 to 32) nor opens a quote.
inline bool IsUnquotedTokenCharacter(char c) {
  return static_cast<unsigned char>(c) > 32 && c != '"';
}

// Whether one of the eight bytes of `word` may not stand in an unquoted
// token: one of codes 0 to 32, or a quote.
inline bool EndsUnquotedToken(std::uint64_t word) {
  return (words::BytesBelow(word, 33) | words::BytesEqual(word, '"')) != 0;
}

// Length of the unquoted token at the start of `s`. A directive may hold one
// argument tens of thousands of bytes long, so the run is read eight bytes at
// a time up to the block that ends it.
inline std::size_t UnquotedRunLength(std::string_view s) {
  // A quoted argument opens with its quote: no word is read for it.
  if (s.empty() || !IsUnquotedTokenCharacter(s[0])) {
    return 0;
  }
  std::size_t length = 0;
  for (; length + 8 <= s.size(); length += 8) {
    if (EndsUnquotedToken(words::Load(s.data() + length))) {
      break;
    }
  }
  while (length < s.size() && IsUnquotedTokenCharacter(s[length])) {
    ++length;
  }
  return length;
}

// Position of the first `c` in s[from, s.size()), or s.size(). The first
// two words are read here, where a closing quote mostly is; past them
// memchr, which reads a long run far faster.
inline std::size_t FindByte(std::string_view s, std::size_t from, char c) {
  const std::size_t wordsEnd = from + 16;
  std::size_t i = from;
  for (; i + 8 <= s.size() && i < wordsEnd; i += 8) {
    if (const std::uint64_t marks =
            words::BytesEqual(words::Load(s.data() + i), c);
        marks != 0) {
      return i + words::FirstMarked(marks);
    }
  }
  if (i >= s.size()) {
    return s.size();
  }
  const std::size_t found = s.find(c, i);
  return found == std::string_view::npos ? s.size() : found;
}
