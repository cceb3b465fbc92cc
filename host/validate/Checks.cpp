#include "validate/Checks.h"

#include <algorithm>
#include <iterator>

namespace directive_host::validate {

namespace {

constexpr CheckSpec kChecks[] = {
    {"exports", false, CheckExports, "AutoRegister is exported, undecorated"},
    {"registration", false, CheckRegistration,
     "keywords are non-empty, start with '#', hold no\n"
     "whitespace and stay valid; none is registered twice, in\n"
     "any ASCII case; both callbacks are given; none registers\n"
     "from a callback; a second AutoRegister repeats the\n"
     "first; loading into a host that exports no entry points\n"
     "does not crash"},
    {"calling-convention", false, CheckCallingConvention,
     "on 32-bit Windows every callback is stdcall\n"
     "(DIRECTIVE_CALL): the stack pointer is compared around\n"
     "each call"},
    {"null-pointers", false, CheckNullPointers,
     "a null input reads as \"\"; a null out gets nothing"},
    {"extra", false, CheckExtra,
     "every parse call gives the same result with extra 0, 1,\n"
     "0x7fffffff and 0xffffffff"},
    {"over-read", false, CheckOverRead,
     "no callback reads past the NUL of its text, keyword or\n"
     "properties (each ends at an inaccessible page)"},
    {"inputs-unchanged", false, CheckInputsUnchanged,
     "no callback writes into its input strings (they lie in\n"
     "read-only pages and are compared after each call)"},
    {"capacity", false, CheckCapacity,
     "no callback writes past DIRECTIVE_RESULT_CAPACITY bytes\n"
     "(a guard page follows the buffer)"},
    {"termination", false, CheckTermination,
     "every result ends with a NUL within the capacity"},
    {"determinism", false, CheckDeterminism,
     "the same call gives the same result, in any order"},
    {"in-place", false, CheckInPlace,
     "out equal to or overlapping an input gives the same\n"
     "result"},
    {"threads", false, CheckThreads,
     "8 threads at once get the single-threaded results"},
    {"stack", false, CheckStack,
     "every call runs on a thread of DIRECTIVE_CALLBACK_STACK\n"
     "bytes of stack without overflowing it"},
    {"unload", false, CheckUnload,
     "200 cycles of load, register, call and unload, without\n"
     "growth of memory or handles"},
    {"leaks", false, CheckLeaks,
     "thousands of calls of each callback in one process hold\n"
     "no more memory, handles or descriptors than the first"},
    {"host-state", false, CheckHostState,
     "loading, AutoRegister and the calls leave the locale,\n"
     "floating-point modes, signals or error mode, umask,\n"
     "working folder, environment and open handles as they\n"
     "were, and write nothing to standard output or error"},
    {"round-trip", true, CheckRoundTrip,
     "reported: how many parse results assemble and parse back"},
    {"timing", true, CheckTiming,
     "reported: nanoseconds per call beside strlen+memcpy"},
};

} // namespace

std::span<const CheckSpec> AllChecks() { return kChecks; }

const CheckSpec *FindCheck(std::string_view name) {
  const auto found = std::ranges::find(kChecks, name, &CheckSpec::name);
  return found == std::end(kChecks) ? nullptr : found;
}

} // namespace directive_host::validate
