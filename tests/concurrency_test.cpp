// Every registered callback called from eight threads at once; each result
// must equal the one the same call gives on a single thread.
#include "hosts/PluginFixture.h"
#include "platform/Threads.h"

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kThreads = 8;
constexpr long kCallsPerThread = 100000;
constexpr std::size_t kGuardBytes = 64;

// DIRECTIVE_CALLS_PER_THREAD lowers the count where each call is slow, as
// under ThreadSanitizer.
long CallsPerThread() {
  const char *text = std::getenv("DIRECTIVE_CALLS_PER_THREAD");
  const long calls = text != nullptr ? std::strtol(text, nullptr, 10) : 0;
  return calls > 0 ? calls : kCallsPerThread;
}

// One call of one callback, with the result it gave on a single thread.
struct Call {
  ParseProc parse = nullptr;
  AssembleProc assemble = nullptr;
  std::optional<std::string> keyword;
  std::optional<std::string> input;
  std::string expected;

  void Run(char *out) const {
    const char *text = input ? input->c_str() : nullptr;
    if (parse != nullptr) {
      parse(text, out, 0);
    } else {
      assemble(keyword ? keyword->c_str() : nullptr, text, out);
    }
  }
};

const std::string kIfProperties =
    "argument1=x\r\noperator===\r\nargument2=y\r\naction=goto\r\n"
    "actionvalue=done\r\n";

// Directive texts, including null, long results, and bytes that take the
// locale's multibyte path. Results too large
// for the buffer are left to the single-threaded tests: they cost much and
// share nothing more.
std::vector<std::optional<std::string>> ParseInputs() {
  return {
      "#LABEL = \"start\"",
      "#GOTO=end",
      "#GOTO = \xc3\xa9t\xc3\xa9 \x80\xff",
      "#LABEL x",
      std::nullopt,
      "#GOTO = " + std::string(5000, 'g'),
      "#IF \"x\" == \"y\" goto done",
      "#IF \"a b\" = \"c d\" set \"v w\"",
      "#IF x",
      "#IF \"" + std::string(5000, 'a'),
  };
}

// Keyword and property text pairs, likewise.
std::vector<std::pair<std::optional<std::string>, std::optional<std::string>>>
AssembleInputs() {
  return {
      {"#GOTO", "label=end"},
      {"#LABEL", "LABEL=x\r\n"},
      {"#LABEL", "\xc3\x89tiquette=1\n\xc3\xa9=2\nLaBeL=\xc3\xa9"},
      {std::nullopt, std::nullopt},
      {"#GOTO", "label=" + std::string(5000, 'g')},
      {"#IF", kIfProperties},
      {"#IF", "ACTIONVALUE= \"done\" \nAction=GoTo\nArgument2=\" y \"\n"
              "OPERATOR===\nargument1=  x"},
      {"#IF", "\xc3\x84rgument1=a\nargument1=\xc3\xa4\naction=\xc3\x9f"},
  };
}

class Concurrency : public PluginFixture {
protected:
  // Every input through every registered callback, run once here to learn
  // its single-threaded result.
  static std::vector<Call> Calls() {
    std::vector<Call> calls;
    std::vector<char> out(DIRECTIVE_RESULT_CAPACITY);
    for (const Registration &registration : Registrations()) {
      for (const auto &text : ParseInputs()) {
        calls.push_back({registration.parse, nullptr, std::nullopt, text, {}});
      }
      for (const auto &[keyword, properties] : AssembleInputs()) {
        calls.push_back(
            {nullptr, registration.assemble, keyword, properties, {}});
      }
    }
    for (Call &call : calls) {
      call.Run(out.data());
      call.expected = out.data();
    }
    return calls;
  }
};

// What one thread saw.
struct ThreadReport {
  long mismatches = 0;
  std::string firstMismatch;
  bool guardIntact = true;
};

ThreadReport CallRepeatedly(const std::vector<Call> &calls, int thread,
                            long count) {
  std::vector<char> buffer(DIRECTIVE_RESULT_CAPACITY + kGuardBytes, 'G');
  char *out = buffer.data();
  ThreadReport report;
  // Threads start at different calls, so that different callbacks overlap.
  std::size_t next = static_cast<std::size_t>(thread) * 7 % calls.size();
  for (long i = 0; i < count; ++i) {
    const Call &call = calls[next];
    next = (next + 1) % calls.size();
    out[0] = '\x01'; // a callback that writes nothing cannot pass
    call.Run(out);
    if (std::strcmp(out, call.expected.c_str()) != 0 &&
        report.mismatches++ == 0) {
      report.firstMismatch = "expected \"" + call.expected.substr(0, 80) +
                             "\", got \"" + std::string(out).substr(0, 80) +
                             "\"";
    }
  }
  for (std::size_t i = DIRECTIVE_RESULT_CAPACITY; i < buffer.size(); ++i) {
    report.guardIntact = report.guardIntact && buffer[i] == 'G';
  }
  return report;
}

TEST_F(Concurrency, EightThreadsGetTheSingleThreadedResults) {
  const std::vector<Call> calls = Calls();
  const std::size_t parses = ParseInputs().size();
  const std::size_t perKeyword = parses + AssembleInputs().size();
  ASSERT_EQ(calls.size(), 3 * perKeyword);
  // The single-threaded results are the right ones to compare with: calls
  // through the "#LABEL" row, then the "#IF" row.
  EXPECT_EQ(calls[0].expected, "label=start");
  EXPECT_EQ(calls[4].expected, "");
  EXPECT_EQ(calls[parses].expected, "#GOTO =\"end\"");
  const Call *const ifCalls = &calls[2 * perKeyword];
  EXPECT_EQ(ifCalls[6].expected, kIfProperties);
  EXPECT_EQ(ifCalls[parses + 5].expected, "#IF \"x\" == \"y\" goto done");

  const long count = CallsPerThread();
  std::vector<ThreadReport> reports(kThreads);
  directive_host::platform::RunOnThreads(kThreads, [&](int t) {
    reports[static_cast<std::size_t>(t)] = CallRepeatedly(calls, t, count);
  });
  for (int t = 0; t < kThreads; ++t) {
    const ThreadReport &report = reports[static_cast<std::size_t>(t)];
    EXPECT_EQ(report.mismatches, 0) << "thread " << t << " of " << count
                                    << " calls: " << report.firstMismatch;
    EXPECT_TRUE(report.guardIntact) << "thread " << t;
  }
}

} // namespace
