#include "platform/CallWatch.h"

#include "platform/ChildProcess.h"
#include "platform/Threads.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>

namespace directive_host::platform {

namespace {

constexpr int kTickMilliseconds = 50;

std::atomic<long> callsUnderWay{0};
// Every start and end of a call; unchanged while every call under way hangs.
std::atomic<std::uint64_t> progress{0};

} // namespace

void WatchCalls(double seconds) {
  struct Watch {
    long ticksAllowed;
    std::uint64_t seen = 0;
    long stillFor = 0;
  };
  auto watch = std::make_shared<Watch>(Watch{
      std::max(1L, static_cast<long>(seconds * 1000 / kTickMilliseconds))});
  StartTicking(kTickMilliseconds, [watch] {
    const std::uint64_t now = progress.load();
    if (callsUnderWay.load() == 0 || now != watch->seen) {
      watch->seen = now;
      watch->stillFor = 0;
    } else if (++watch->stillFor >= watch->ticksAllowed) {
      EndHungProcess();
    }
  });
}

CallUnderWay::CallUnderWay() {
  ++callsUnderWay;
  ++progress;
}

CallUnderWay::~CallUnderWay() {
  ++progress;
  --callsUnderWay;
}

} // namespace directive_host::platform
