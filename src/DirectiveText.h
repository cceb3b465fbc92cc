// Character classes and trimming shared by the directive scanners and the
// property text.
#pragma once

#include <string_view>

// Separates tokens in directive text: codes 1 to 32.
inline bool IsWhitespace(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

inline bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

inline bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

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

// Length of the run at the start of `s` of bytes that neither separate
// tokens (codes 0 to 32) nor open a quote: an unquoted token.
inline std::size_t UnquotedRunLength(std::string_view s) {
  std::size_t length = 0;
  while (length < s.size() && static_cast<unsigned char>(s[length]) > 32 &&
         s[length] != '"') {
    ++length;
  }
  return length;
}
