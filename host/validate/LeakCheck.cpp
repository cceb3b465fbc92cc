// The leaks check: each callback called thousands of times in one process,
// with the heap in use and the open handles measured around each run of
// calls of one input, so that growth is traced to the input that made it.
#include "platform/ProcessProbe.h"
#include "validate/Checks.h"
#include "validate/Subject.h"

#include <map>
#include <utility>

namespace directive_host::validate {

namespace {

// Calls of one input between two measurements: enough that measuring costs
// little beside them.
constexpr std::size_t kRepeats = 16;
// Calls of each callback before measuring starts, for caches, the
// allocator's pools and lazy initialisation to settle.
constexpr std::size_t kSettleCalls = 256;
// Measured calls of each callback, whatever the budget: a leak of a few
// dozen bytes a call then exceeds the bound.
constexpr std::size_t kLeastCalls = 1024;
constexpr std::size_t kMostCalls = 20000;
// Growth allowed over a callback's measured calls: the allocator's and the
// system's noise stays below it (Windows commits memory a page at a time).
constexpr long long kMemoryBound = 64 * 1024;
constexpr long long kHandleBound = 4;

struct Measure {
  long long memory = 0;
  long long handles = 0;
  static Measure Now() {
    return {static_cast<long long>(platform::HeapBytesInUse()),
            static_cast<long long>(platform::ProcessHandleCount())};
  }
};

// What one callback's calls grew, in all and by the input that grew most.
struct CallbackGrowth {
  std::size_t calls = 0;
  long long memory = 0;
  long long handles = 0;
  std::size_t mostMemory = 0;  // index of the generated call
  std::size_t mostHandles = 0; // index of the generated call
};

// Calls the callback of `lane`'s calls round and round: settled first, then
// measured for at least kLeastCalls and on while `budget` lasts.
CallbackGrowth Grow(const Subject &subject, CrashNote &note,
                    const std::vector<std::size_t> &lane,
                    const Budget &budget) {
  const auto &calls = subject.Generated().calls;
  OutBuffer buffer;
  std::vector<Measure> growth(lane.size());
  CallbackGrowth grown;
  std::size_t settled = 0;
  const auto done = [&] {
    return grown.calls >= kMostCalls ||
           (grown.calls >= kLeastCalls && budget.Spent());
  };
  for (std::size_t p = 0; !done(); p = (p + 1) % lane.size()) {
    const Call &call = calls[lane[p]];
    note.Set("called again and again", subject.Describe(call));
    const Measure before = Measure::Now();
    for (std::size_t r = 0; r < kRepeats; ++r) {
      ResultOf(call, subject.Keywords(), buffer);
    }
    const Measure after = Measure::Now();
    if (settled < kSettleCalls) {
      settled += kRepeats;
      continue;
    }
    grown.calls += kRepeats;
    growth[p].memory += after.memory - before.memory;
    growth[p].handles += after.handles - before.handles;
  }
  for (std::size_t p = 0; p < lane.size(); ++p) {
    grown.memory += growth[p].memory;
    grown.handles += growth[p].handles;
    if (growth[p].memory > growth[grown.mostMemory].memory) {
      grown.mostMemory = p;
    }
    if (growth[p].handles > growth[grown.mostHandles].handles) {
      grown.mostHandles = p;
    }
  }
  grown.mostMemory = lane[grown.mostMemory];
  grown.mostHandles = lane[grown.mostHandles];
  return grown;
}

} // namespace

CheckResult CheckLeaks(const CheckContext &context) {
  return OnSubject(context, [&](const Subject &subject, CrashNote &note) {
    const auto &calls = subject.Generated().calls;
    // Each callback's calls, in the order the checks make them.
    std::map<std::pair<std::size_t, int>, std::vector<std::size_t>> lanes;
    for (const std::size_t i : subject.Order()) {
      lanes[{calls[i].keyword, static_cast<int>(calls[i].kind)}].push_back(i);
    }
    const bool judgesMemory = platform::HeapBytesInUse() > 0;
    const bool countsHandles = platform::ProcessHandleCount() > 0;
    const Budget budget;
    std::size_t fewest = kMostCalls;
    long long most = 0;
    std::size_t left = lanes.size();
    for (const auto &[callback, lane] : lanes) {
      const CallbackGrowth grown =
          Grow(subject, note, lane, budget.Part(1.0 / double(left--)));
      const std::string name =
          CallbackName(calls[lane.front()], subject.Keywords());
      const std::string over =
          " over " + std::to_string(grown.calls) + " calls of " + name;
      if (judgesMemory && grown.memory > kMemoryBound) {
        return Failed("memory in use grew by " + Growth(grown.memory) + over +
                          " (" +
                          std::to_string(grown.memory /
                                         static_cast<long long>(grown.calls)) +
                          " bytes a call; at most " + Growth(kMemoryBound) +
                          " allowed); the input that grew it most follows",
                      subject.Describe(calls[grown.mostMemory]));
      }
      if (countsHandles && grown.handles > kHandleBound) {
        return Failed(std::to_string(grown.handles) +
                          " more handles or descriptors are open after" + over +
                          "; the input that opened most follows",
                      subject.Describe(calls[grown.mostHandles]));
      }
      fewest = std::min(fewest, grown.calls);
      most = std::max(most, grown.memory);
    }
    return Passed(std::to_string(fewest) + " calls or more of each of " +
                  std::to_string(lanes.size()) + " callbacks: memory " +
                  (judgesMemory
                       ? Growth(most) + " at most"
                       : "not judged (the C library does not see the "
                         "allocator, as under a sanitizer or valgrind, whose "
                         "leak checkers judge)") +
                  ", handles " + (countsHandles ? "steady" : "not counted"));
  });
}

} // namespace directive_host::validate
