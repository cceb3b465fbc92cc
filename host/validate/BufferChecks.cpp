// The checks of what a callback does with the pointers it is given: null
// ones, a buffer that ends at a guard page, a buffer full of other bytes,
// and a buffer that is, or overlaps, the inputs.
#include "platform/GuardedBuffer.h"
#include "validate/Checks.h"
#include "validate/Escape.h"
#include "validate/InPlaceCall.h"
#include "validate/Subject.h"

#include <algorithm>

namespace directive_host::validate {

namespace {

// Property texts given to assemble with a null keyword: the first few this
// keyword's assemble calls use.
constexpr std::size_t kNullKeywordTexts = 8;

std::string Differs(const std::optional<std::string> &got,
                    const std::optional<std::string> &expected) {
  return "wrote " + DescribeResult(got) + ", not " + DescribeResult(expected);
}

} // namespace

CheckResult CheckNullPointers(const CheckContext &context) {
  return OnSubject(context, [&](const Subject &subject, CrashNote &note) {
    OutBuffer buffer;
    const auto &keywords = subject.Keywords();
    std::size_t calls = 0;
    // Each call with a null input, beside the same call with "".
    const auto compare =
        [&](const Call &withNull,
            const Call &withEmpty) -> std::optional<CheckResult> {
      const std::string input = subject.Describe(withNull);
      note.Set("with a null input", input);
      const auto got = ResultOf(withNull, keywords, buffer);
      note.Set("with an empty input", subject.Describe(withEmpty));
      const auto expected = ResultOf(withEmpty, keywords, buffer);
      ++calls;
      if (got != expected) {
        return Failed("a null input does not read as \"\": it " +
                          Differs(got, expected) + " as for " +
                          subject.Describe(withEmpty),
                      input);
      }
      return std::nullopt;
    };
    for (std::size_t k = 0; k < keywords.size(); ++k) {
      using Kind = Call::Kind;
      const std::string &name = keywords[k].keyword;
      std::vector<std::pair<Call, Call>> pairs = {
          {{Kind::kParse, k, std::nullopt, std::nullopt},
           {Kind::kParse, k, "", std::nullopt}},
          {{Kind::kAssemble, k, std::nullopt, name},
           {Kind::kAssemble, k, "", name}},
          {{Kind::kAssemble, k, std::nullopt, std::nullopt},
           {Kind::kAssemble, k, "", ""}},
      };
      std::size_t texts = 0;
      for (const Call &call : subject.Generated().calls) {
        if (call.kind == Kind::kAssemble && call.keyword == k &&
            texts++ < kNullKeywordTexts) {
          pairs.push_back({{Kind::kAssemble, k, call.text, std::nullopt},
                           {Kind::kAssemble, k, call.text, ""}});
        }
      }
      for (const auto &[withNull, withEmpty] : pairs) {
        if (const auto failure = compare(withNull, withEmpty)) {
          return *failure;
        }
      }
    }
    // A null out must get nothing: writing to it would crash.
    Coverage nullOuts;
    subject.EachCall(note, "writing to a null out", Budget(), nullOuts,
                     [&](std::size_t i, const std::string &) {
                       Perform(subject.Generated().calls[i], keywords, nullptr);
                       return std::optional<CheckResult>();
                     });
    return Passed(std::to_string(calls) +
                  " calls with null inputs read them as \"\"; " +
                  nullOuts.Calls() + " with a null out wrote nothing");
  });
}

CheckResult CheckCapacity(const CheckContext &context) {
  return OnSubject(context, [&](const Subject &subject, CrashNote &note) {
    platform::GuardedBuffer buffer;
    std::size_t nearTheEnd = 0;
    Coverage coverage;
    subject.EachCall(
        note,
        "writing into a buffer that ends at a guard page: it wrote past "
        "DIRECTIVE_RESULT_CAPACITY",
        Budget(), coverage, [&](std::size_t i, const std::string &) {
          Perform(subject.Generated().calls[i], subject.Keywords(),
                  buffer.data());
          const auto result = ResultIn(buffer.data());
          nearTheEnd +=
              result && result->size() + 9 > DIRECTIVE_RESULT_CAPACITY ? 1 : 0;
          return std::optional<CheckResult>();
        });
    return Passed(coverage.Calls() + ", " + std::to_string(nearTheEnd) +
                  " of them with results within 8 bytes of the capacity, "
                  "wrote nothing past it");
  });
}

CheckResult CheckTermination(const CheckContext &context) {
  return OnSubject(context, [&](const Subject &subject, CrashNote &note) {
    OutBuffer buffer;
    Coverage coverage;
    const auto failure = subject.EachCall(
        note, "", Budget(), coverage,
        [&](std::size_t i,
            const std::string &input) -> std::optional<CheckResult> {
          // Two fillings, so that no one byte value can pass for a
          // terminator.
          const char fill = coverage.made % 2 == 1 ? 'X' : '\xff';
          char *out = buffer.Filled(fill);
          Perform(subject.Generated().calls[i], subject.Keywords(), out);
          if (!ResultIn(out)) {
            return Failed(
                "the result has no NUL within DIRECTIVE_RESULT_CAPACITY "
                "bytes of a buffer filled with " +
                    CLiteral(std::string(1, fill)) + " before the call",
                input);
          }
          return std::nullopt;
        });
    return failure ? *failure
                   : Passed(coverage.Calls() +
                            ": each result ended with a NUL within the "
                            "capacity");
  });
}

namespace {

std::string Where(const char *what, std::ptrdiff_t at) {
  if (at == 0) {
    return std::string("out = ") + what;
  }
  return std::string(what) + " at out " + (at > 0 ? "+ " : "- ") +
         std::to_string(at > 0 ? at : -at);
}

} // namespace

CheckResult CheckInPlace(const CheckContext &context) {
  return OnSubject(context, [&](const Subject &subject, CrashNote &note) {
    OutBuffer buffer;
    std::size_t tried = 0;
    // An in-place call beside the result of separate buffers.
    const auto judge = [&](const std::string &input,
                           const std::optional<std::string> &separate,
                           const auto &call) -> std::optional<CheckResult> {
      note.Set("called in place", input);
      const InPlaceResult inPlace = call();
      ++tried;
      // A write past the capacity is the capacity check's to find.
      if (inPlace.wroteBeforeOut) {
        return Failed("called in place, it wrote before the start of out",
                      input);
      }
      if (!inPlace.terminated || inPlace.result != *separate) {
        return Failed(
            "called in place, it " +
                Differs(inPlace.terminated
                            ? std::optional<std::string>(inPlace.result)
                            : std::nullopt,
                        separate) +
                " as with separate buffers",
            input);
      }
      return std::nullopt;
    };
    Coverage coverage;
    const auto failure = subject.EachCall(
        note, "called in place", Budget(), coverage,
        [&](std::size_t i,
            const std::string &described) -> std::optional<CheckResult> {
          const Call &call = subject.Generated().calls[i];
          const KeywordHandler &keyword = subject.Keywords()[call.keyword];
          // From a copy: a module that writes into its inputs must not
          // change the strings the calls in place are made from.
          const Call copy = call;
          const auto separate = ResultOf(copy, subject.Keywords(), buffer);
          if (!separate) {
            return std::nullopt; // no result to compare: termination's
          }
          const std::string &text = *call.text;
          const std::string &name = call.keywordArgument.value_or("");
          const auto assemble = [&](std::optional<std::ptrdiff_t> textAt,
                                    std::optional<std::ptrdiff_t> keywordAt) {
            return [&, textAt, keywordAt] {
              return AssembleInPlace(Watched(keyword.assemble), name, text,
                                     textAt, keywordAt);
            };
          };
          for (const std::ptrdiff_t at : InPlaceOffsets(text)) {
            std::optional<CheckResult> failure;
            if (call.kind == Call::Kind::kParse) {
              failure = judge(
                  described + " with " + Where("text", at), separate, [&] {
                    return ParseInPlace(Watched(keyword.parse), text, at);
                  });
            } else {
              const std::string input =
                  described + " with " + Where("properties", at);
              failure = judge(input, separate, assemble(at, std::nullopt));
              // The keyword in out as well, just past the property text.
              const std::ptrdiff_t keywordAt =
                  at + static_cast<std::ptrdiff_t>(text.size()) + 1;
              failure =
                  failure ? failure
                          : judge(input + " and " + Where("keyword", keywordAt),
                                  separate, assemble(at, keywordAt));
            }
            if (failure) {
              return failure;
            }
          }
          if (call.kind == Call::Kind::kAssemble) {
            // The keyword alone in out, at its start and just before it.
            for (const std::ptrdiff_t at : {0, -3}) {
              if (auto failure =
                      judge(described + " with " + Where("keyword", at),
                            separate, assemble(std::nullopt, at))) {
                return failure;
              }
            }
          }
          return std::nullopt;
        });
    return failure ? *failure
                   : Passed(std::to_string(tried) + " calls in place over " +
                            coverage.Calls() +
                            " gave the results of separate buffers");
  });
}

} // namespace directive_host::validate
