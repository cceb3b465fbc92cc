#include "Checks.h"

namespace directive_host::validate {

namespace {

constexpr CheckSpec kChecks[] = {
    {"exports", false, CheckExports},
    {"registration", false, CheckRegistration},
    {"null-pointers", false, CheckNullPointers},
    {"capacity", false, CheckCapacity},
    {"termination", false, CheckTermination},
    {"determinism", false, CheckDeterminism},
    {"in-place", false, CheckInPlace},
    {"threads", false, CheckThreads},
    {"unload", false, CheckUnload},
    {"round-trip", true, CheckRoundTrip},
    {"timing", true, CheckTiming},
};

} // namespace

std::span<const CheckSpec> AllChecks() { return kChecks; }

const CheckSpec *FindCheck(std::string_view name) {
  for (const CheckSpec &check : kChecks) {
    if (check.name == name) {
      return &check;
    }
  }
  return nullptr;
}

} // namespace directive_host::validate
