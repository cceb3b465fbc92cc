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
  const Subject subject(context);
  if (const auto skip = subject.Skip()) {
    return *skip;
  }
  CrashNote note;
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
  std::size_t nullOuts = 0;
  for (const Call &call : subject.Generated().calls) {
    note.Set("writing to a null out",
             subject.Describe(call) + " with out NULL");
    Perform(call, keywords, nullptr);
    ++nullOuts;
  }
  return Passed(std::to_string(calls) +
                " calls with null inputs read them as "
                "\"\"; " +
                std::to_string(nullOuts) +
                " calls with a null out wrote nothing");
}

CheckResult CheckCapacity(const CheckContext &context) {
  const Subject subject(context);
  if (const auto skip = subject.Skip()) {
    return *skip;
  }
  CrashNote note;
  platform::GuardedBuffer buffer;
  std::size_t nearTheEnd = 0;
  const auto &calls = subject.Generated().calls;
  for (const Call &call : calls) {
    note.Set("writing into a buffer that ends at a guard page: it wrote past "
             "DIRECTIVE_RESULT_CAPACITY",
             subject.Describe(call));
    Perform(call, subject.Keywords(), buffer.data());
    const auto result = ResultIn(buffer.data());
    if (result && result->size() + 9 > DIRECTIVE_RESULT_CAPACITY) {
      ++nearTheEnd;
    }
  }
  return Passed(std::to_string(calls.size()) + " calls, " +
                std::to_string(nearTheEnd) +
                " of them with results within 8 bytes of the capacity, wrote "
                "nothing past it");
}

CheckResult CheckTermination(const CheckContext &context) {
  const Subject subject(context);
  if (const auto skip = subject.Skip()) {
    return *skip;
  }
  CrashNote note;
  OutBuffer buffer;
  const auto &calls = subject.Generated().calls;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const std::string input = subject.Describe(calls[i]);
    note.Set("", input);
    // Two fillings, so that no one byte value can pass for a terminator.
    char *out = buffer.Filled(i % 2 == 0 ? 'X' : '\xff');
    Perform(calls[i], subject.Keywords(), out);
    if (!ResultIn(out)) {
      return Failed("the result has no NUL within DIRECTIVE_RESULT_CAPACITY "
                    "bytes of a buffer filled with " +
                        CLiteral(std::string(1, out[0])) + " before the call",
                    input);
    }
  }
  return Passed(std::to_string(calls.size()) +
                " results each ended with a NUL within the capacity");
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
  const Subject subject(context);
  if (const auto skip = subject.Skip()) {
    return *skip;
  }
  CrashNote note;
  OutBuffer buffer;
  std::size_t tried = 0;
  // An in-place call beside the result of separate buffers.
  const auto judge =
      [&](const InPlaceResult &inPlace,
          const std::optional<std::string> &separate,
          const std::string &input) -> std::optional<CheckResult> {
    ++tried;
    // A write past the capacity is the capacity check's to find.
    if (inPlace.wroteBeforeOut) {
      return Failed("called in place, it wrote before the start of out", input);
    }
    if (!inPlace.terminated || inPlace.result != *separate) {
      return Failed("called in place, it " +
                        Differs(inPlace.terminated
                                    ? std::optional<std::string>(inPlace.result)
                                    : std::nullopt,
                                separate) +
                        " as with separate buffers",
                    input);
    }
    return std::nullopt;
  };
  for (const Call &call : subject.Generated().calls) {
    const KeywordHandler &keyword = subject.Keywords()[call.keyword];
    const std::string described = subject.Describe(call);
    note.Set("called in place", described);
    const auto separate = ResultOf(call, subject.Keywords(), buffer);
    if (!separate) {
      continue; // no result to compare with: termination's to report
    }
    const std::string &text = *call.text;
    for (const std::ptrdiff_t at : InPlaceOffsets(text)) {
      std::string input;
      std::optional<CheckResult> failure;
      if (call.kind == Call::Kind::kParse) {
        input = described + " with " + Where("text", at);
        note.Set("called in place", input);
        failure = judge(ParseInPlace(keyword.parse, text, at), separate, input);
      } else {
        input = described + " with " + Where("properties", at);
        note.Set("called in place", input);
        failure = judge(AssembleInPlace(keyword.assemble, *call.keywordArgument,
                                        text, at, std::nullopt),
                        separate, input);
        if (!failure) {
          // The keyword in out as well, just past the property text.
          const std::ptrdiff_t keywordAt =
              at + static_cast<std::ptrdiff_t>(text.size()) + 1;
          input += " and " + Where("keyword", keywordAt);
          note.Set("called in place", input);
          failure =
              judge(AssembleInPlace(keyword.assemble, *call.keywordArgument,
                                    text, at, keywordAt),
                    separate, input);
        }
      }
      if (failure) {
        return *failure;
      }
    }
    if (call.kind == Call::Kind::kAssemble) {
      // The keyword alone in out, at its start and just before it.
      for (const std::ptrdiff_t at : {0, -3}) {
        const std::string input = described + " with " + Where("keyword", at);
        note.Set("called in place", input);
        if (const auto failure =
                judge(AssembleInPlace(keyword.assemble, *call.keywordArgument,
                                      text, std::nullopt, at),
                      separate, input)) {
          return *failure;
        }
      }
    }
  }
  return Passed(std::to_string(tried) +
                " calls in place gave the results of separate buffers");
}

} // namespace directive_host::validate
