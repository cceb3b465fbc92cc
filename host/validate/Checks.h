// The checks of a plug-in module, by their fixed names, in the order they
// run. Each loads the module itself, so that it can run in a process of its
// own.
#pragma once

#include "validate/CheckResult.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace directive_host::validate {

struct CheckContext {
  std::string module;     // path of the module under test
  std::uint64_t seed = 0; // of the generated inputs
  int iterations = 100;   // random inputs per keyword and callback
  // Seconds a call of the module may take before the check ends as hung.
  int callLimit = 3;
  // A program that loads a module into a process exporting no entry
  // points; "" when there is none.
  std::string bareHost;
};

// A check: its name, what it checks and the code that checks it, together.
struct CheckSpec {
  std::string_view name;
  // Reported only: its findings are measurements, never failures (though a
  // crash or a hang still is one).
  bool reportedOnly;
  // Throws NotLoaded when the module cannot be loaded.
  CheckResult (*run)(const CheckContext &context);
  // What it checks, as validate's help lists it; lines broken by '\n'.
  std::string_view description = {};
};

std::span<const CheckSpec> AllChecks();

// The check named `name`, or null.
const CheckSpec *FindCheck(std::string_view name);

// The checks, one per file that holds it.
CheckResult CheckExports(const CheckContext &context);
CheckResult CheckRegistration(const CheckContext &context);
CheckResult CheckNullPointers(const CheckContext &context);
CheckResult CheckOverRead(const CheckContext &context);
CheckResult CheckInputsUnchanged(const CheckContext &context);
CheckResult CheckCapacity(const CheckContext &context);
CheckResult CheckTermination(const CheckContext &context);
CheckResult CheckDeterminism(const CheckContext &context);
CheckResult CheckInPlace(const CheckContext &context);
CheckResult CheckThreads(const CheckContext &context);
CheckResult CheckUnload(const CheckContext &context);
CheckResult CheckLeaks(const CheckContext &context);
CheckResult CheckHostState(const CheckContext &context);
CheckResult CheckRoundTrip(const CheckContext &context);
CheckResult CheckTiming(const CheckContext &context);
CheckResult CheckExtra(const CheckContext &context);
CheckResult CheckStack(const CheckContext &context);
CheckResult CheckCallingConvention(const CheckContext &context);

} // namespace directive_host::validate
