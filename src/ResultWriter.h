// The one way callbacks read host strings and write results, so that the
// buffer contract of the public header holds everywhere.
#pragma once

#include "directive_plugin.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// A host string as a view; null reads as the empty string.
std::string_view HostString(const char *text);

// A host string that a callback reads while it writes its result to `out`.
// A host may pass an `out` that shares bytes with the string (parsing a
// directive in its own buffer, say); writing the result would then overwrite
// bytes still to be read, so such a string is read from a private copy, made
// before anything is written. Any other string is read where it lies.
class HostInput {
public:
  HostInput(const char *text, const char *out);
  HostInput(const HostInput &) = delete;
  HostInput &operator=(const HostInput &) = delete;

  std::string_view View() const { return view_; }

private:
  std::string copy_;
  std::string_view view_;
};

// Writes one result straight into a host's `out` buffer, piece by piece, and
// checks the capacity as it goes: a result whose pieces and NUL do not fit in
// DIRECTIVE_RESULT_CAPACITY bytes ends as the empty string, and no byte is
// ever written past the capacity. A null `out` gets nothing.
class ResultWriter {
public:
  explicit ResultWriter(char *out) : out_(out), fits_(out != nullptr) {}
  ResultWriter(const ResultWriter &) = delete;
  ResultWriter &operator=(const ResultWriter &) = delete;

  ResultWriter &operator<<(std::string_view piece) {
    if (fits_ && piece.size() <= kRoom - size_) {
      // A default view's data is null, which memcpy may not be given even
      // for no bytes.
      if (!piece.empty()) {
        std::memcpy(out_ + size_, piece.data(), piece.size());
      }
      size_ += piece.size();
    } else {
      fits_ = false;
    }
    return *this;
  }

  ResultWriter &operator<<(char c) {
    if (fits_ && size_ < kRoom) {
      out_[size_++] = c;
    } else {
      fits_ = false;
    }
    return *this;
  }

  // Ends the result with its NUL, or writes the empty string when a piece
  // did not fit.
  void Finish() {
    if (out_ != nullptr) {
      out_[fits_ ? size_ : 0] = '\0';
    }
  }

private:
  // Bytes of a result before its NUL.
  static constexpr std::size_t kRoom = DIRECTIVE_RESULT_CAPACITY - 1;

  char *out_;
  std::size_t size_ = 0;
  bool fits_;
};
