// Calls a callback in place: its strings lie in, or overlap, the out buffer
// it writes to, as when a host parses a directive in its own buffer.
#pragma once

#include "directive_plugin.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

// What an in-place call left: the result, whether the callback kept to the
// out buffer's DIRECTIVE_RESULT_CAPACITY bytes and ended its result within
// them, and whether it wrote before the start of out.
struct InPlaceResult {
  std::string result;
  bool keptToCapacity = false;
  bool terminated = false;
  bool wroteBeforeOut = false;
};

// One buffer with room before and after `out`, so that strings may start
// before it (out then begins inside them) or run past its end.
class InPlaceBuffer {
public:
  static constexpr std::ptrdiff_t kRoomBefore = 256;

  // `size` is how far past the start of out the strings may reach.
  explicit InPlaceBuffer(std::size_t size)
      : bytes_(kRoomBefore +
                   std::max<std::size_t>(size, DIRECTIVE_RESULT_CAPACITY) +
                   kRoomBefore,
               'X') {}

  char *Out() { return bytes_.data() + kRoomBefore; }

  // Copies `text` and its NUL to `at` bytes from the start of out.
  const char *Place(const std::string &text, std::ptrdiff_t at) {
    char *where = Out() + at;
    std::memcpy(where, text.c_str(), text.size() + 1);
    return where;
  }

  // Snapshots every byte outside out's capacity, before the call.
  void Seal() {
    before_.assign(bytes_.begin(), bytes_.begin() + kRoomBefore);
    after_.assign(bytes_.begin() + kOutEnd, bytes_.end());
  }

  InPlaceResult Result() const {
    InPlaceResult result;
    const auto outStart = kRoomBefore;
    result.wroteBeforeOut =
        !std::equal(before_.begin(), before_.end(), bytes_.begin());
    result.keptToCapacity =
        !result.wroteBeforeOut &&
        std::equal(after_.begin(), after_.end(), bytes_.begin() + kOutEnd);
    const char *out = bytes_.data() + outStart;
    result.terminated =
        std::memchr(out, '\0', DIRECTIVE_RESULT_CAPACITY) != nullptr;
    if (result.terminated) {
      result.result = out;
    }
    return result;
  }

private:
  static constexpr std::ptrdiff_t kOutEnd =
      kRoomBefore + DIRECTIVE_RESULT_CAPACITY;

  std::vector<char> bytes_;
  std::vector<char> before_;
  std::vector<char> after_;
};

// Where a string goes, relative to the start of out: at it, a little or far
// into it, a little or far before it (out then starts inside the string),
// and ending at the last byte of its capacity.
inline std::vector<std::ptrdiff_t> InPlaceOffsets(const std::string &text) {
  std::vector<std::ptrdiff_t> offsets = {0, 1, 7, 100, -1, -9, -200};
  const auto last = static_cast<std::ptrdiff_t>(DIRECTIVE_RESULT_CAPACITY) -
                    static_cast<std::ptrdiff_t>(text.size()) - 1;
  if (last > 0) {
    offsets.push_back(last);
    offsets.push_back(last / 2);
  }
  return offsets;
}

// Parses `text` placed `textAt` bytes from the start of out (negative:
// before it), writing to that out. `parse` is a ParseProc, or anything
// called as one.
template <typename Parse>
InPlaceResult ParseInPlace(Parse parse, const std::string &text,
                           std::ptrdiff_t textAt) {
  InPlaceBuffer buffer(static_cast<std::size_t>(std::max<std::ptrdiff_t>(
      0, textAt + static_cast<std::ptrdiff_t>(text.size()) + 1)));
  const char *placed = buffer.Place(text, textAt);
  buffer.Seal();
  parse(placed, buffer.Out(), 0);
  return buffer.Result();
}

// Assembles with `properties` and `keyword` each placed at its offset from
// the start of out, or in a buffer of its own where none is given.
// `assemble` is an AssembleProc, or anything called as one.
template <typename Assemble>
InPlaceResult AssembleInPlace(Assemble assemble, const std::string &keyword,
                              const std::string &properties,
                              std::optional<std::ptrdiff_t> propertiesAt,
                              std::optional<std::ptrdiff_t> keywordAt) {
  const auto end = [](const std::string &s,
                      std::optional<std::ptrdiff_t> at) -> std::ptrdiff_t {
    return at ? *at + static_cast<std::ptrdiff_t>(s.size()) + 1 : 0;
  };
  const std::ptrdiff_t reach = std::max<std::ptrdiff_t>(
      {0, end(properties, propertiesAt), end(keyword, keywordAt)});
  InPlaceBuffer buffer(static_cast<std::size_t>(reach));
  const char *placedKeyword =
      keywordAt ? buffer.Place(keyword, *keywordAt) : keyword.c_str();
  const char *placedProperties = propertiesAt
                                     ? buffer.Place(properties, *propertiesAt)
                                     : properties.c_str();
  buffer.Seal();
  assemble(placedKeyword, placedProperties, buffer.Out());
  return buffer.Result();
}
