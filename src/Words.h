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

// The eight bytes at `p`, the first in the lowest bits; at compile time too.
constexpr std::uint64_t Load(const char *p) {
  std::uint64_t word = 0;
  if (std::is_constant_evaluated()) {
    for (std::size_t i = 0; i < 8; ++i) {
      word |= std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
    }
    return word;
  }
  std::memcpy(&word, p, sizeof word);
  if constexpr (std::endian::native == std::endian::big) {
    word = __builtin_bswap64(word);
  }
  return word;
}

// The bytes of `word` below `n` (at most 0x80), each marked by its top bit.
// A byte below n borrows when n is subtracted from it, which sets its top
// bit where it was clear; a borrow can mark a later byte wrongly, but never
// the first one marked, and never any when no byte is below n.
constexpr std::uint64_t BytesBelow(std::uint64_t word, unsigned n) {
  return (word - kEveryByte * n) & ~word & kTopBits;
}

// The bytes of `word` equal to `c`, marked as BytesBelow marks them: XOR
// with c turns them into 0, the one byte below 1.
constexpr std::uint64_t BytesEqual(std::uint64_t word, char c) {
  return BytesBelow(word ^ (kEveryByte * static_cast<unsigned char>(c)), 1);
}

// Index of the first byte marked in `marks`, which marks one at least.
constexpr std::size_t FirstMarked(std::uint64_t marks) {
  return static_cast<std::size_t>(std::countr_zero(marks)) / 8;
}

} // namespace words
