// The one way callbacks read host strings and write results, so that the
// buffer contract of the public header holds everywhere.
#pragma once

#include "directive_plugin.h"

#include <cstddef>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string_view>

// A host string as a view; null reads as the empty string.
std::string_view HostString(const char *text);

// Writes one result into a host's `out` buffer, piece by piece, and checks
// the capacity as it goes: a result whose pieces and NUL do not fit in
// DIRECTIVE_RESULT_CAPACITY bytes ends as the empty string, and no byte is
// ever written past the capacity. A null `out` gets nothing.
//
// A host may pass an `out` that shares bytes with a string the callback
// reads (parsing a directive in its own buffer, say), and writing there would
// overwrite bytes still to be read. The writer is told the strings, and when
// one of them shares a byte with out's capacity it builds the result in a
// private buffer of the capacity, which Finish copies into `out` once
// everything is read: an in-place call costs that one allocation however
// long its strings are, any other call none. Without the memory for it, the
// result is the empty string.
class ResultWriter {
public:
  explicit ResultWriter(char *out,
                        std::initializer_list<std::string_view> inputs = {})
      : out_(out), target_(out), fits_(out != nullptr) {
    for (const std::string_view input : inputs) {
      if (out != nullptr && SharesBytes(input, out)) {
        HoldApart();
        return;
      }
    }
  }
  ResultWriter(const ResultWriter &) = delete;
  ResultWriter &operator=(const ResultWriter &) = delete;

  ResultWriter &operator<<(std::string_view piece) {
    if (fits_ && piece.size() <= kRoom - size_) {
      // A default view's data is null, which memcpy may not be given even
      // for no bytes.
      if (!piece.empty()) {
        std::memcpy(target_ + size_, piece.data(), piece.size());
      }
      size_ += piece.size();
    } else {
      fits_ = false;
    }
    return *this;
  }

  ResultWriter &operator<<(char c) {
    if (fits_ && size_ < kRoom) {
      target_[size_++] = c;
    } else {
      fits_ = false;
    }
    return *this;
  }

  // Ends the result with its NUL, or writes the empty string when a piece
  // did not fit; an in-place result is copied into `out` here.
  void Finish();

private:
  // Bytes of a result before its NUL.
  static constexpr std::size_t kRoom = DIRECTIVE_RESULT_CAPACITY - 1;

  // Whether `text` with its NUL and the capacity of `out` share a byte.
  // std::less orders pointers into different objects too.
  static bool SharesBytes(std::string_view text, const char *out) {
    const std::less<const char *> before;
    return text.data() != nullptr &&
           before(text.data(), out + DIRECTIVE_RESULT_CAPACITY) &&
           before(out, text.data() + text.size() + 1);
  }

  // Moves the result to a private buffer, or ends it as the empty string
  // when there is no memory for one.
  void HoldApart();

  char *out_;
  std::unique_ptr<char[]> private_; // holds an in-place result until Finish
  char *target_;                    // out_, or private_ in place
  std::size_t size_ = 0;
  bool fits_;
};

// Runs one callback: `write` puts the result's pieces to a ResultWriter of
// `out` that knows the host strings `inputs`. No exception leaves it: when
// memory runs out (a property list past its inline lines, an in-place call),
// `out` gets the empty string. Returns what every callback returns, 0.
template <typename Write>
DirectiveBool WriteResult(char *out,
                          std::initializer_list<std::string_view> inputs,
                          Write &&write) noexcept {
  try {
    ResultWriter result(out, inputs);
    write(result);
    result.Finish();
  } catch (...) {
    if (out != nullptr) {
      *out = '\0';
    }
  }
  return 0;
}
