// The checks that call the same callbacks again and compare: in other
// orders, into a reused buffer, and from eight threads at once.
#include "platform/Threads.h"
#include "validate/Checks.h"
#include "validate/Subject.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <numeric>

namespace directive_host::validate {

namespace {

constexpr int kThreads = 8;
// The least time the threads call for, so that on a busy machine they
// overlap for many time slices.
constexpr std::chrono::milliseconds kThreadsRunFor{300};

// The result of the calls, one after another in a fresh buffer, in the
// order a check makes them, for as long as `budget` allows.
struct FirstResults {
  std::vector<std::size_t> calls; // indices of the generated calls
  std::vector<std::optional<std::string>> results;
  Coverage coverage;
};

FirstResults MakeFirstResults(const Subject &subject, CrashNote &note,
                              const Budget &budget) {
  FirstResults first;
  OutBuffer buffer;
  subject.EachCall(
      note, "", budget, first.coverage,
      [&](std::size_t i, const std::string &) {
        first.calls.push_back(i);
        first.results.push_back(
            ResultOf(subject.Generated().calls[i], subject.Keywords(), buffer));
        return std::optional<CheckResult>();
      });
  return first;
}

} // namespace

CheckResult CheckDeterminism(const CheckContext &context) {
  return OnSubject(context, [&](const Subject &subject, CrashNote &note) {
    const auto &calls = subject.Generated().calls;
    const auto &keywords = subject.Keywords();
    // The passes make each call five times more: a sixth of the budget
    // for the first results.
    const FirstResults first =
        MakeFirstResults(subject, note, Budget().Part(1.0 / 6));
    std::vector<std::size_t> order(first.calls.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::vector<std::size_t> reversed(order.rbegin(), order.rend());
    std::vector<std::size_t> shuffled = order;
    Random random(context.seed ^ 0x5eed);
    for (std::size_t i = shuffled.size(); i > 1; --i) {
      std::swap(shuffled[i - 1], shuffled[random.Below(i)]);
    }
    // Each pass calls the callbacks in its own order; `how` says what is
    // special about it.
    struct Pass {
      const std::vector<std::size_t> &order;
      const char *how;
      bool twice;     // each call made twice in a row, into the same buffer
      bool oneBuffer; // every input copied into one buffer, as a host
                      // reading lines into its buffer does
    };
    const Pass passes[] = {
        {order, "made again at once, into the same buffer filled anew", true,
         false},
        {reversed, "made again in the reverse order", false, false},
        {shuffled, "made again among the other calls in a shuffled order",
         false, false},
        {shuffled,
         "made again with its input in the buffer that held the "
         "previous call's input",
         false, true},
    };
    OutBuffer buffer;
    std::string textBuffer;
    std::string keywordBuffer;
    textBuffer.reserve(2 * DIRECTIVE_RESULT_CAPACITY);
    keywordBuffer.reserve(1024);
    std::size_t made = first.calls.size();
    for (const Pass &pass : passes) {
      for (const std::size_t p : pass.order) {
        const Call &call = calls[first.calls[p]];
        const std::string input = subject.Describe(call);
        note.Set("", input);
        for (int time = 0; time < (pass.twice ? 2 : 1); ++time) {
          char *out = buffer.Filled();
          if (pass.oneBuffer &&
              call.keywordArgument.value_or("").size() < 1024) {
            textBuffer.assign(*call.text);
            keywordBuffer.assign(call.keywordArgument.value_or(""));
            const KeywordHandler &keyword = keywords[call.keyword];
            if (call.kind == Call::Kind::kParse) {
              Watched(keyword.parse)(textBuffer.c_str(), out, 0);
            } else {
              Watched(keyword.assemble)(keywordBuffer.c_str(),
                                        textBuffer.c_str(), out);
            }
          } else {
            Perform(call, keywords, out);
          }
          ++made;
          const auto again = ResultIn(out);
          if (again != first.results[p]) {
            return Failed("the same call gave " +
                              DescribeResult(first.results[p]) +
                              " the first time and " + DescribeResult(again) +
                              " when " + pass.how,
                          input);
          }
        }
      }
    }
    return Passed(first.coverage.Calls() +
                  " gave the same result each time over " +
                  std::to_string(made) + " calls in " +
                  std::to_string(std::size(passes) + 1) + " orders");
  });
}

CheckResult CheckThreads(const CheckContext &context) {
  return OnSubject(context, [&](const Subject &subject, CrashNote &note) {
    const Budget budget;
    const FirstResults first =
        MakeFirstResults(subject, note, budget.Part(0.25));
    // The small calls with a result: large ones cost much and share nothing
    // more, and a missing NUL is termination's to report.
    std::vector<std::size_t> chosen; // positions in `first`
    const auto &calls = subject.Generated().calls;
    for (std::size_t p = 0; p < first.calls.size(); ++p) {
      if (!subject.Generated().large[first.calls[p]] && first.results[p]) {
        chosen.push_back(p);
      }
    }
    if (chosen.size() < 2) {
      return Passed("too few calls with results to compare");
    }
    note.Set("while " + std::to_string(kThreads) +
             " threads called the callbacks at once");
    struct Report {
      std::size_t calls = 0;
      long mismatches = 0;
      std::size_t first = 0;
      std::string got;
    };
    std::vector<Report> reports(kThreads);
    std::atomic<int> started{0};
    using Clock = std::chrono::steady_clock;
    const auto least = Clock::now() + kThreadsRunFor;
    platform::RunOnThreads(kThreads, [&](int thread) {
      OutBuffer buffer;
      char *out = buffer.data();
      Report &report = reports[static_cast<std::size_t>(thread)];
      // Threads start at different calls, so that different callbacks
      // overlap; no thread makes the same call twice in a row.
      std::size_t next = static_cast<std::size_t>(thread) * 7 % chosen.size();
      ++started;
      while (started.load() < kThreads) {
      }
      // Each calls for the least time, and on until it has made every call
      // once, while the budget lasts.
      std::size_t &n = report.calls;
      for (; n % 16 != 0 || Clock::now() < least ||
             (n < chosen.size() && !budget.Spent());
           ++n) {
        const std::size_t p = chosen[next];
        next = (next + 1) % chosen.size();
        out[0] = '\x01'; // a callback that writes nothing cannot pass
        Perform(calls[first.calls[p]], subject.Keywords(), out);
        const std::string_view got(out);
        if (got != *first.results[p] && report.mismatches++ == 0) {
          report.first = p;
          report.got = got;
        }
      }
    });
    for (const Report &report : reports) {
      if (report.mismatches > 0) {
        return Failed(std::to_string(report.mismatches) + " of " +
                          std::to_string(report.calls) +
                          " calls on one thread of " +
                          std::to_string(kThreads) +
                          " differed from the single-threaded results, first " +
                          DescribeResult(report.got) + " instead of " +
                          DescribeResult(first.results[report.first]),
                      subject.Describe(calls[first.calls[report.first]]));
      }
    }
    std::size_t fewest = reports.front().calls;
    for (const Report &report : reports) {
      fewest = std::min(fewest, report.calls);
    }
    return Passed(std::to_string(kThreads) + " threads made " +
                  std::to_string(fewest) + " calls or more each over " +
                  std::to_string(chosen.size()) +
                  " inputs and got the single-threaded results");
  });
}

} // namespace directive_host::validate
