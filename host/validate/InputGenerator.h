// The calls the checks make: edge shapes, random directives from a seed,
// inputs whose results come near the capacity, and the module's own parse
// results fed to assemble. The same seed and module give the same calls.
#pragma once

#include "validate/Calls.h"

#include <cstdint>
#include <vector>

namespace directive_host::validate {

// A small generator whose sequence is the same on every platform (the
// standard distributions are not).
class Random {
public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  // A number below `bound` (which is not 0).
  std::size_t Below(std::size_t bound) {
    return static_cast<std::size_t>(Next() % bound);
  }

private:
  std::uint64_t state_;
};

struct GeneratedCalls {
  std::vector<Call> calls; // no two alike; parse calls of each keyword first
  // Calls whose input or result exceeds a few KiB, which the costly checks
  // use sparingly.
  std::vector<bool> large;
};

// `iterations` random directives and as many property texts per keyword,
// besides the fixed shapes. Calls the module's parse and assemble callbacks
// to learn its results.
GeneratedCalls GenerateCalls(const std::vector<KeywordHandler> &keywords,
                             std::uint64_t seed, int iterations);

} // namespace directive_host::validate
