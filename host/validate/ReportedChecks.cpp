// Measurements that are reported, never failures: how many parse results
// survive assemble and parse again, and what a call costs.
#include "validate/Checks.h"
#include "validate/Escape.h"
#include "validate/Subject.h"

#include <chrono>
#include <cstring>

namespace directive_host::validate {

namespace {

// Time spent on each callback measured, at the least.
constexpr std::chrono::milliseconds kMeasureFor{40};

std::string Percent(std::size_t part, std::size_t whole) {
  return std::to_string(whole == 0 ? 100 : part * 100 / whole) + "%";
}

// Nanoseconds per call of `run` over `count` inputs, run in turn until
// kMeasureFor has passed (however few calls that is).
template <typename Run>
long long NanosecondsPerCall(std::size_t count, Run run) {
  using Clock = std::chrono::steady_clock;
  if (count == 0) {
    return 0;
  }
  long long made = 0;
  const auto start = Clock::now();
  auto elapsed = Clock::duration::zero();
  while (elapsed < kMeasureFor) {
    // The clock read every few calls, so that it costs little.
    for (int i = 0; i < 16; ++i, ++made) {
      run(static_cast<std::size_t>(made) % count);
    }
    elapsed = Clock::now() - start;
  }
  return std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count() /
         made;
}

} // namespace

CheckResult CheckRoundTrip(const CheckContext &context) {
  return OnSubject(context, [&](const Subject &subject, CrashNote &note) {
    OutBuffer buffer;
    const auto &keywords = subject.Keywords();
    std::string firstMiss;
    std::vector<std::size_t> kept(keywords.size());
    std::vector<std::size_t> total(keywords.size());
    Coverage coverage;
    subject.EachCall(
        note, "", Budget(), coverage, [&](std::size_t i, const std::string &) {
          const Call &call = subject.Generated().calls[i];
          const std::size_t k = call.keyword;
          if (call.kind != Call::Kind::kParse) {
            return std::optional<CheckResult>();
          }
          const auto properties = ResultOf(call, keywords, buffer);
          if (!properties || properties->empty()) {
            return std::optional<CheckResult>();
          }
          const Call assemble{Call::Kind::kAssemble, k, *properties,
                              keywords[k].keyword};
          note.Set("", subject.Describe(assemble));
          const auto directive = ResultOf(assemble, keywords, buffer);
          const Call again{Call::Kind::kParse, k, directive.value_or(""),
                           std::nullopt};
          note.Set("", subject.Describe(again));
          const bool same =
              directive && ResultOf(again, keywords, buffer) == properties;
          ++total[k];
          kept[k] += same ? 1 : 0;
          if (!same && firstMiss.empty()) {
            firstMiss = subject.Describe(call) + " gives " +
                        CLiteral(*properties) + ", which assembles to " +
                        DescribeResult(directive);
          }
          return std::optional<CheckResult>();
        });
    std::string detail;
    std::size_t allKept = 0;
    std::size_t all = 0;
    for (std::size_t k = 0; k < keywords.size(); ++k) {
      detail += (k > 0 ? ", " : "") + CLiteral(keywords[k].keyword) + " " +
                std::to_string(kept[k]) + " of " + std::to_string(total[k]);
      allKept += kept[k];
      all += total[k];
    }
    return CheckResult{CheckStatus::kPassed,
                       Percent(allKept, all) +
                           " of the parse results assemble and parse back "
                           "to themselves (" +
                           detail + ")",
                       firstMiss};
  });
}

CheckResult CheckTiming(const CheckContext &context) {
  return OnSubject(context, [&](const Subject &subject, CrashNote &note) {
    note.Set("while its calls were timed");
    OutBuffer buffer;
    char *out = buffer.data();
    const auto &keywords = subject.Keywords();
    const auto &generated = subject.Generated();
    std::string detail;
    std::vector<const Call *> all;
    for (std::size_t k = 0; k < keywords.size(); ++k) {
      for (const Call::Kind kind :
           {Call::Kind::kParse, Call::Kind::kAssemble}) {
        std::vector<const Call *> calls;
        for (std::size_t i = 0; i < generated.calls.size(); ++i) {
          const Call &call = generated.calls[i];
          if (call.kind == kind && call.keyword == k && !generated.large[i]) {
            calls.push_back(&call);
          }
        }
        const long long ns =
            NanosecondsPerCall(calls.size(), [&](std::size_t i) {
              Perform(*calls[i], keywords, out);
            });
        detail += (detail.empty() ? "" : ", ") + CLiteral(keywords[k].keyword) +
                  (kind == Call::Kind::kParse ? " parse " : " assemble ") +
                  std::to_string(ns) + " ns";
        all.insert(all.end(), calls.begin(), calls.end());
      }
    }
    // The least a callback does: find the input's end and copy it.
    volatile char sink = 0;
    const long long baseline =
        NanosecondsPerCall(all.size(), [&](std::size_t i) {
          const std::string &text = *all[i]->text;
          const std::size_t length = std::strlen(text.c_str());
          std::memcpy(out, text.c_str(), length + 1);
          sink = sink + out[length / 2];
        });
    return Passed("per call over the generated inputs below 4 KiB: " + detail +
                  "; strlen+memcpy of the same inputs " +
                  std::to_string(baseline) + " ns");
  });
}

} // namespace directive_host::validate
