// Reading strings eight bytes at a time: the loads and byte tests that the
// directive scanner, the line splitter and the name comparison share.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace words {

constexpr std::uint64_t kEveryByte = 0x0101010101010101u;
constexpr std::uint64_t kTopBits = kEveryByte * 0x80;

// The sizeof(Word) bytes at `p`, the first in the lowest bits; at compile
// time too.
template <typename Word> constexpr Word LoadBytes(const char *p) {
  Word word = 0;
  if (std::is_constant_evaluated()) {
    for (std::size_t i = 0; i < sizeof word; ++i) {
      word |= static_cast<Word>(
          static_cast<Word>(static_cast<unsigned char>(p[i])) << (8 * i));
    }
    return word;
  }
  std::memcpy(&word, p, sizeof word);
  if constexpr (std::endian::native == std::endian::big) {
    if constexpr (sizeof word == 8) {
      word = __builtin_bswap64(word);
    } else {
      word = __builtin_bswap32(word);
    }
  }
  return word;
}

// The eight bytes at `p`, and the four, as LoadBytes reads them.
constexpr std::uint64_t Load(const char *p) {
  return LoadBytes<std::uint64_t>(p);
}
constexpr std::uint32_t LoadHalf(const char *p) {
  return LoadBytes<std::uint32_t>(p);
}

// The `size` bytes at `p`, 1 <= size < 8, in the low bytes of a word, as
// Load places them, and zero above: an overlapping pair of loads, or for
// fewer than four bytes the first, middle and last one. Reads no byte past
// them.
constexpr std::uint64_t LoadPart(const char *p, std::size_t size) {
  if (size >= 4) {
    return LoadHalf(p) | std::uint64_t{LoadHalf(p + size - 4)}
                             << (8 * (size - 4));
  }
  const auto at = [p](std::size_t i) {
    return std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
  };
  return at(0) | at(size / 2) | at(size - 1);
}

// The top bits of `word`'s bytes that are clear, each where its byte is
// below 0x80: the mask BytesBelow and BytesEqual take, which a caller that
// tests one word both ways makes once.
constexpr std::uint64_t ClearTopBits(std::uint64_t word) {
  return ~word & kTopBits;
}

// The bytes of `word` below `n` (at most 0x80), each marked by its top bit;
// `clearTops` is ClearTopBits(word). A byte below n borrows when n is
// subtracted from it, which sets its top bit where it was clear; a borrow
// can mark a later byte wrongly, but never the first one marked, and never
// any when no byte is below n.
constexpr std::uint64_t BytesBelow(std::uint64_t word, unsigned n,
                                   std::uint64_t clearTops) {
  return (word - kEveryByte * n) & clearTops;
}
constexpr std::uint64_t BytesBelow(std::uint64_t word, unsigned n) {
  return BytesBelow(word, n, ClearTopBits(word));
}

// The bytes of `word` equal to `c`, an ASCII character, marked as
// BytesBelow marks them: XOR with c turns them into 0, the one byte below
// 1. As c's top bit is clear, the XOR keeps each byte's top bit, so that
// the mask of clear top bits is word's own.
constexpr std::uint64_t BytesEqual(std::uint64_t word, char c,
                                   std::uint64_t clearTops) {
  return BytesBelow(word ^ (kEveryByte * static_cast<unsigned char>(c)), 1,
                    clearTops);
}
constexpr std::uint64_t BytesEqual(std::uint64_t word, char c) {
  return BytesEqual(word, c, ClearTopBits(word));
}

// Index of the first byte marked in `marks`, which marks one at least.
constexpr std::size_t FirstMarked(std::uint64_t marks) {
  // Through unsigned, which widens for free, where int would be sign
  // extended.
  return static_cast<std::size_t>(
      static_cast<unsigned>(std::countr_zero(marks)) >> 3);
}

} // namespace words
