// The one way callbacks read host strings and write results, so that the
// buffer contract of the public header holds everywhere.
#pragma once

#include "directive_plugin.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string_view>

// A host string as a view; null reads as the empty string. Either way a NUL
// follows the view's bytes, which scanners may rely on to end their runs.
inline std::string_view HostString(const char *text) {
  return std::string_view(text != nullptr ? text : "");
}

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
      : out_(out), target_(out), size_(out != nullptr ? 0 : kFailed) {
    for (const std::string_view input : inputs) {
      if (out != nullptr && SharesBytes(input, out)) {
        private_ = NewResultBuffer();
        target_ = private_.get();
        size_ = target_ != nullptr ? 0 : kFailed;
        return;
      }
    }
  }
  ResultWriter(const ResultWriter &) = delete;
  ResultWriter &operator=(const ResultWriter &) = delete;

  // Writes the pieces (strings and characters) one after another, or, when
  // they do not all fit, ends the result as the empty string: one check of
  // the capacity for all of them.
  template <typename... Pieces> ResultWriter &Write(const Pieces &...pieces) {
    // In 64 bits the sum of a few sizes cannot wrap.
    if (char *at = Claim((std::uint64_t{SizeOf(pieces)} + ...))) {
      ((at = Put(at, pieces)), ...);
    }
    return *this;
  }

  // Ends the result as the empty string, whatever is written after.
  void Fail() { size_ = kFailed; }
  // Whether the result is to be the empty string.
  bool Failed() const { return size_ > kRoom; }

  ResultWriter &operator<<(std::string_view piece) { return Write(piece); }
  ResultWriter &operator<<(char c) { return Write(c); }

  // Ends the result with its NUL, or writes the empty string when a piece
  // did not fit; an in-place result is copied into `out` here.
  void Finish() {
    if (out_ == nullptr) {
      return;
    }
    if (size_ > kRoom) {
      out_[0] = '\0';
      return;
    }
    target_[size_] = '\0';
    if (target_ != out_) {
      std::memcpy(out_, target_, size_ + 1);
    }
  }

private:
  // Bytes of a result before its NUL.
  static constexpr std::size_t kRoom = DIRECTIVE_RESULT_CAPACITY - 1;
  // The size of a result that ends as the empty string.
  static constexpr std::size_t kFailed = kRoom + 1;

  // Where the next `size` bytes of the result go; null, and the result ends
  // as the empty string, when they do not fit. The size grows before the
  // bytes are copied, so that it is stored once, not reloaded after the
  // copies (which may alias it). A failed result's size is past the room
  // already.
  char *Claim(std::uint64_t size) {
    if (size_ + size > kRoom) {
      size_ = kFailed;
      return nullptr;
    }
    char *const at = target_ + size_;
    size_ += static_cast<std::size_t>(size);
    return at;
  }

  static std::size_t SizeOf(std::string_view piece) { return piece.size(); }
  static std::size_t SizeOf(char) { return 1; }

  static char *Put(char *at, char c) {
    *at = c;
    return at + 1;
  }

  // Pieces are mostly names and short values, too short to be worth a call
  // of memcpy: up to 16 bytes are copied in two overlapping loads and
  // stores of a width that fits.
  static char *Put(char *at, std::string_view piece) {
    const char *from = piece.data();
    const std::size_t size = piece.size();
    if (size > 16) {
      std::memcpy(at, from, size);
    } else if (size >= 8) {
      CopyOverlapping<8>(at, from, size);
    } else if (size >= 4) {
      CopyOverlapping<4>(at, from, size);
    } else if (size > 0) { // an empty piece may be a default view, of no data
      at[0] = from[0];
      at[size / 2] = from[size / 2];
      at[size - 1] = from[size - 1];
    }
    return at + size;
  }

  // Copies `size` bytes, width <= size <= 2 * width, as the first and the
  // last `width` of them.
  template <std::size_t width>
  static void CopyOverlapping(char *to, const char *from, std::size_t size) {
    char head[width];
    char tail[width];
    std::memcpy(head, from, width);
    std::memcpy(tail, from + size - width, width);
    std::memcpy(to, head, width);
    std::memcpy(to + size - width, tail, width);
  }

  // Whether `text` with its NUL and the capacity of `out` share a byte: as
  // addresses, text starts within out's capacity or out within text's
  // bytes, two unsigned compares. (A null text reads as the module's own
  // constant "", which no host buffer holds.)
  static bool SharesBytes(std::string_view text, const char *out) {
    const auto from = reinterpret_cast<std::uintptr_t>(text.data());
    const auto to = reinterpret_cast<std::uintptr_t>(out);
    return from - to < DIRECTIVE_RESULT_CAPACITY || to - from <= text.size();
  }

  struct FreeBuffer {
    void operator()(char *buffer) const { std::free(buffer); }
  };
  using Buffer = std::unique_ptr<char[], FreeBuffer>;

  // A private buffer of the capacity, or null when there is no memory for
  // one: from malloc, since the C++ runtime throws inside even the nothrow
  // operator new, and a throw needs memory of its own, for want of which the
  // C library of a C host ends the process. Static, so that no call takes
  // the writer's address, which keeps its members in registers.
  static Buffer NewResultBuffer();

  char *out_;
  Buffer private_;   // holds an in-place result until Finish
  char *target_;     // out_, or private_ in place
  std::size_t size_; // kFailed once a piece did not fit
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
    if (!result.Failed()) { // a null out, or no memory for an in-place result
      write(result);
    }
    result.Finish();
  } catch (...) {
    if (out != nullptr) {
      *out = '\0';
    }
  }
  return 0;
}
