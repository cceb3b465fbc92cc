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
// Calls per thread for each iteration asked for, at the least; and the least
// time the threads call for, so that on a busy machine they still overlap
// for many time slices.
constexpr long kThreadCallsPerIteration = 200;
constexpr std::chrono::milliseconds kThreadsRunFor{300};

// The result of every call, made one after another in a fresh buffer.
std::vector<std::optional<std::string>> FirstResults(const Subject &subject,
                                                     CrashNote &note) {
  std::vector<std::optional<std::string>> results;
  OutBuffer buffer;
  for (const Call &call : subject.Generated().calls) {
    note.Set("", subject.Describe(call));
    results.push_back(ResultOf(call, subject.Keywords(), buffer));
  }
  return results;
}

} // namespace

CheckResult CheckDeterminism(const CheckContext &context) {
  const Subject subject(context);
  if (const auto skip = subject.Skip()) {
    return *skip;
  }
  CrashNote note;
  const auto &calls = subject.Generated().calls;
  const auto &keywords = subject.Keywords();
  const std::vector<std::optional<std::string>> first =
      FirstResults(subject, note);

  std::vector<std::size_t> order(calls.size());
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
    bool oneBuffer; // every input copied into one buffer, as a host reading
                    // lines into its buffer does
  };
  const Pass passes[] = {
      {order, "made again at once, into the same buffer filled anew", true,
       false},
      {reversed, "made again in the reverse order", false, false},
      {shuffled, "made again among the other calls in a shuffled order", false,
       false},
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
  std::size_t made = calls.size();
  for (const Pass &pass : passes) {
    for (const std::size_t i : pass.order) {
      Call call = calls[i];
      const std::string input = subject.Describe(call);
      note.Set("", input);
      for (int time = 0; time < (pass.twice ? 2 : 1); ++time) {
        char *out = buffer.Filled();
        if (pass.oneBuffer && call.keywordArgument.value_or("").size() < 1024) {
          textBuffer.assign(*call.text);
          keywordBuffer.assign(call.keywordArgument.value_or(""));
          const KeywordHandler &keyword = keywords[call.keyword];
          if (call.kind == Call::Kind::kParse) {
            keyword.parse(textBuffer.c_str(), out, 0);
          } else {
            keyword.assemble(keywordBuffer.c_str(), textBuffer.c_str(), out);
          }
        } else {
          Perform(call, keywords, out);
        }
        ++made;
        const auto again = ResultIn(out);
        if (again != first[i]) {
          return Failed("the same call gave " + DescribeResult(first[i]) +
                            " the first time and " + DescribeResult(again) +
                            " when " + pass.how,
                        input);
        }
      }
    }
  }
  return Passed(std::to_string(calls.size()) + " calls gave the same result " +
                "each time over " + std::to_string(made) + " calls in " +
                std::to_string(std::size(passes) + 1) + " orders");
}

CheckResult CheckThreads(const CheckContext &context) {
  const Subject subject(context);
  if (const auto skip = subject.Skip()) {
    return *skip;
  }
  CrashNote note;
  const std::vector<std::optional<std::string>> first =
      FirstResults(subject, note);
  // The small calls with a result: large ones cost much and share nothing
  // more, and a missing NUL is termination's to report.
  std::vector<std::size_t> chosen;
  const auto &calls = subject.Generated().calls;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (!subject.Generated().large[i] && first[i]) {
      chosen.push_back(i);
    }
  }
  if (chosen.size() < 2) {
    return Passed("too few calls with results to compare");
  }
  const long perThread =
      kThreadCallsPerIteration * std::max(context.iterations, 1);
  note.Set("while " + std::to_string(kThreads) +
           " threads called the callbacks at once");
  struct Report {
    long calls = 0;
    long mismatches = 0;
    std::size_t firstCall = 0;
    std::string got;
  };
  std::vector<Report> reports(kThreads);
  std::atomic<int> started{0};
  using Clock = std::chrono::steady_clock;
  const auto until = Clock::now() + kThreadsRunFor;
  platform::RunOnThreads(kThreads, [&](int thread) {
    OutBuffer buffer;
    char *out = buffer.data();
    Report &report = reports[static_cast<std::size_t>(thread)];
    // Threads start at different calls, so that different callbacks overlap;
    // no thread makes the same call twice in a row.
    std::size_t next = static_cast<std::size_t>(thread) * 7 % chosen.size();
    // All start together, and each calls until it has made its share and
    // the time is up.
    ++started;
    while (started.load() < kThreads) {
    }
    long &n = report.calls;
    for (; n < perThread || (n % 256 != 0 || Clock::now() < until); ++n) {
      const std::size_t i = chosen[next];
      next = (next + 1) % chosen.size();
      out[0] = '\x01'; // a callback that writes nothing cannot pass
      Perform(calls[i], subject.Keywords(), out);
      const std::string_view got(out);
      if (got != *first[i] && report.mismatches++ == 0) {
        report.firstCall = i;
        report.got = got;
      }
    }
  });
  for (const Report &report : reports) {
    if (report.mismatches > 0) {
      return Failed(std::to_string(report.mismatches) + " of " +
                        std::to_string(report.calls) +
                        " calls on one thread of " + std::to_string(kThreads) +
                        " differed from the single-threaded results, first " +
                        DescribeResult(report.got) + " instead of " +
                        DescribeResult(first[report.firstCall]),
                    subject.Describe(calls[report.firstCall]));
    }
  }
  long least = reports.front().calls;
  for (const Report &report : reports) {
    least = std::min(least, report.calls);
  }
  return Passed(std::to_string(kThreads) + " threads made " +
                std::to_string(least) + " calls or more each over " +
                std::to_string(chosen.size()) +
                " inputs and got the single-threaded results");
}

} // namespace directive_host::validate
