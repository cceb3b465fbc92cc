// The check that every callback keeps to the stack the header grants it:
// each call made on a thread of exactly DIRECTIVE_CALLBACK_STACK bytes of
// stack, where an overflow crashes the check with the call.
#include "platform/Threads.h"
#include "validate/Checks.h"
#include "validate/Subject.h"

#include <exception>

namespace directive_host::validate {

CheckResult CheckStack(const CheckContext &context) {
  return OnSubject(context, [&](const Subject &subject, CrashNote &note) {
    const std::string stack =
        std::to_string(DIRECTIVE_CALLBACK_STACK / 1024) + " KiB";
    OutBuffer buffer;
    Coverage coverage;
    platform::StackThread thread(DIRECTIVE_CALLBACK_STACK);
    const auto failure = subject.EachCall(
        note,
        "on a thread of " + stack +
            " of stack (DIRECTIVE_CALLBACK_STACK), which a callback that "
            "needs more overflows",
        Budget(), coverage,
        [&](std::size_t i, const std::string &) -> std::optional<CheckResult> {
          std::exception_ptr thrown;
          thread.Run([&] {
            try {
              Perform(subject.Generated().calls[i], subject.Keywords(),
                      buffer.Filled());
            } catch (...) {
              thrown = std::current_exception();
            }
          });
          if (thrown) {
            std::rethrow_exception(thrown);
          }
          return std::nullopt;
        });
    if (failure) {
      return *failure;
    }
    return Passed(coverage.Calls() + " ran on a thread of " + stack +
                  " of stack");
  });
}

} // namespace directive_host::validate
