// The check that no callback reads `extra`: every parse call made again with
// each value a host may pass there.
#include "validate/Checks.h"
#include "validate/Subject.h"

namespace directive_host::validate {

CheckResult CheckExtra(const CheckContext &context) {
  return OnSubject(context, [&](const Subject &subject, CrashNote &note) {
    const std::string doing =
        "calling a parse callback with an extra other than 0, "
        "which it may not read";
    OutBuffer buffer;
    Coverage coverage;
    std::size_t parses = 0;
    const auto failure = subject.EachCall(
        note, doing, Budget(), coverage,
        [&](std::size_t i, const std::string &) -> std::optional<CheckResult> {
          Call call = subject.Generated().calls[i];
          if (call.kind != Call::Kind::kParse) {
            return std::nullopt;
          }
          ++parses;
          const auto expected = ResultOf(call, subject.Keywords(), buffer);
          for (const std::uint32_t extra : kExtraValues) {
            call.extra = extra;
            const std::string input = subject.Describe(call);
            note.Set(doing, input);
            const auto result = ResultOf(call, subject.Keywords(), buffer);
            if (result != expected) {
              return Failed("the result depends on extra, which a callback "
                            "never reads: " +
                                DescribeResult(result) +
                                " where extra 0 gives " +
                                DescribeResult(expected),
                            input);
            }
          }
          return std::nullopt;
        });
    if (failure) {
      return *failure;
    }
    std::string values;
    for (const std::uint32_t extra : kExtraValues) {
      values += (values.empty() ? "" : ", ") + ExtraText(extra);
    }
    return Passed(std::to_string(parses) + " parse calls of " +
                  coverage.Calls() + " gave the same result with extra " +
                  values);
  });
}

} // namespace directive_host::validate
