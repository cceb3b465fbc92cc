// The check that every callback has the ABI's calling convention, where a
// platform has more than one: on 32-bit Windows a callback that pops its
// own arguments (stdcall) leaves the stack pointer where the call found it.
#include "platform/CallbackCall.h"
#include "validate/Checks.h"
#include "validate/Subject.h"

namespace directive_host::validate {

CheckResult CheckCallingConvention(const CheckContext &context) {
  if (!platform::StackPointerCompared()) {
    return Passed("not applicable: only 32-bit Windows has a calling "
                  "convention a callback can get wrong");
  }
  return OnSubject(context, [&](const Subject &subject, CrashNote &note) {
    OutBuffer buffer;
    Coverage coverage;
    const auto failure = subject.EachCall(
        note, "comparing the stack pointer around a call", Budget(), coverage,
        [&](std::size_t i,
            const std::string &input) -> std::optional<CheckResult> {
          const std::ptrdiff_t left =
              Perform(subject.Generated().calls[i], subject.Keywords(),
                      buffer.Filled());
          if (left != 0) {
            return Failed("the callback left " + std::to_string(left) +
                              " bytes of arguments on the stack, as a cdecl "
                              "function does: declare it with DIRECTIVE_CALL "
                              "(stdcall on 32-bit Windows)",
                          input);
          }
          return std::nullopt;
        });
    if (failure) {
      return *failure;
    }
    return Passed(coverage.Calls() +
                  " left the stack pointer where they found it (stdcall)");
  });
}

} // namespace directive_host::validate
