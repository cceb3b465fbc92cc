// directive-host validate run as a plug-in author runs it: each faulty module
// fails its own check and passes the others, the example plug-in passes
// everything, a failure can be run again from what the report prints, and
// the exit status tells a failure, a wrong command line and a module that
// does not load apart.
#include "ValidateTest.h"

#include "HostRun.h"
#include "platform/CallbackCall.h"
#include "validate/Checks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <sstream>

namespace {

using directive_host::validate::AllChecks;

// A sanitizer's bookkeeping hides a module's growth from the unload and
// leaks checks.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

HostRun Validate(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "validate");
  return RunProgram(kHost, arguments);
}

// Each module's checks and their statuses, from a --json report, in the
// order of the modules.
std::vector<std::map<std::string, std::string>>
Statuses(const std::string &json) {
  std::vector<std::map<std::string, std::string>> modules;
  const std::string name = "{\"name\": \"";
  const std::string status = "\", \"status\": \"";
  for (std::size_t at = 0;
       (at = json.find("{\"module\": ", at)) != std::string::npos;) {
    const std::size_t next = json.find("{\"module\": ", at + 1);
    auto &statuses = modules.emplace_back();
    // Check names and statuses hold no quote.
    while ((at = json.find(name, at)) < next) {
      const std::size_t nameEnd = json.find(status, at);
      const std::size_t statusAt = nameEnd + status.size();
      statuses[json.substr(at + name.size(), nameEnd - at - name.size())] =
          json.substr(statusAt, json.find('"', statusAt) - statusAt);
      at = statusAt;
    }
    at = next;
  }
  return modules;
}

TEST(Validate, EachFaultyModuleFailsItsOwnCheckAndPassesTheOthers) {
  std::vector<std::string> arguments = {"--json", "--seed", "7"};
  const auto faulty = FaultyModules();
  for (const auto &[check, module] : faulty) {
    arguments.push_back(module);
  }
  arguments.push_back(kEchoPlugin);
  const HostRun run = Validate(arguments);
  EXPECT_EQ(run.exitCode, 1) << run.err;
  const auto modules = Statuses(run.out);
  ASSERT_EQ(modules.size(), faulty.size() + 1) << run.out;
  for (std::size_t m = 0; m < faulty.size(); ++m) {
    // "check.how" for a check's other faults.
    const std::string broken =
        faulty[m].first.substr(0, faulty[m].first.find('.'));
    ASSERT_EQ(modules[m].size(), AllChecks().size()) << broken;
    for (const auto &[check, status] : modules[m]) {
      if (check == broken && (broken == "unload" || broken == "leaks") &&
          kSanitized) {
        continue;
      }
      if (check == broken && broken == "calling-convention" &&
          !directive_host::platform::StackPointerCompared()) {
        // Elsewhere the module is a correct one.
        EXPECT_EQ(status, "passed");
      } else if (check == broken) {
        EXPECT_TRUE(status == "failed" || status == "crashed")
            << "the module that breaks " << faulty[m].first << " got "
            << status;
      } else {
        EXPECT_EQ(status, "passed") << "the module that breaks "
                                    << faulty[m].first << ", check " << check;
      }
    }
  }
  // A correct module is never cried wolf at.
  for (const auto &[check, status] : modules.back()) {
    EXPECT_EQ(status, "passed") << "example plug-in, check " << check;
  }
}

std::string LineStartingWith(const std::string &text,
                             const std::string &start) {
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with(start)) {
      return line;
    }
  }
  return {};
}

// A correct module that takes milliseconds a call is no fault, at the default
// depth nor at ten times it.
TEST(Validate, SlowButCorrectModulePassesEveryCheck) {
  const std::string slow = ShapedModule("slow");
  for (const std::vector<std::string> &options :
       {std::vector<std::string>{},
        {"--iterations", "1000", "--only",
         "null-pointers,determinism,in-place,threads"}}) {
    std::vector<std::string> arguments = {"--json", "--seed", "5"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.push_back(slow);
    const HostRun run = Validate(arguments);
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    const auto modules = Statuses(run.out);
    ASSERT_EQ(modules.size(), 1u) << run.out;
    for (const auto &[check, status] : modules.front()) {
      EXPECT_EQ(status, "passed") << check << " " << run.out;
    }
  }
}

// A hang or a crash met while the inputs are made is the callback's, with
// the input that did it; a hang costs a few seconds a check, not the check's
// whole time limit.
TEST(Validate, HangAndCrashNameTheCallbackAndInput) {
  const auto start = std::chrono::steady_clock::now();
  const HostRun hung = Validate({"--seed", "3", ShapedModule("hang")});
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
  EXPECT_EQ(hung.exitCode, 1) << hung.out;
  EXPECT_LE(seconds, 60) << hung.out;
  const std::string timedOut =
      LineStartingWith(hung.out, "timed-out  registration ");
  EXPECT_NE(timedOut.find("a call did not return within"), std::string::npos)
      << hung.out;
  EXPECT_EQ(timedOut.find("AutoRegister"), std::string::npos) << hung.out;
  const std::string input = LineStartingWith(hung.out, "           input: ");
  EXPECT_NE(input.find("\"#NOTE\" parse("), std::string::npos) << hung.out;
  EXPECT_NE(input.find("\\\\\")"), std::string::npos) << hung.out;

  const HostRun aborted =
      Validate({"--seed", "3", "--only", "capacity", ShapedModule("abort")});
  EXPECT_EQ(aborted.exitCode, 1) << aborted.out;
  const std::string crashed =
      LineStartingWith(aborted.out, "crashed    capacity ");
  EXPECT_EQ(crashed.find("AutoRegister"), std::string::npos) << aborted.out;
  // "signal 6 (Aborted)" on POSIX, "aborted (exit code 3)" on Windows.
  EXPECT_NE(crashed.find("borted"), std::string::npos) << aborted.out;
  EXPECT_NE(LineStartingWith(aborted.out, "           input: ")
                .find("\"#NOTE\" parse("),
            std::string::npos)
      << aborted.out;
}

// In the validator's own process a crash or a hang still fails, within the
// time limit, with the call on standard error: never a pass.
TEST(Validate, InProcessCrashOrHangIsNeverAPass) {
  std::string overflowing;
  for (const auto &[check, path] : FaultyModules()) {
    overflowing = check == "stack" ? path : overflowing;
  }
  const struct {
    std::string module;
    std::vector<std::string> options;
  } cases[] = {
      {overflowing, {"--only", "stack"}},
      {ShapedModule("hang"), {"--time-limit", "1"}},
  };
  for (const auto &c : cases) {
    std::vector<std::string> arguments = {"--in-process", "--seed", "3"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    arguments.push_back(c.module);
    const auto start = std::chrono::steady_clock::now();
    const HostRun run = Validate(arguments);
    EXPECT_LE(std::chrono::steady_clock::now() - start,
              std::chrono::seconds(30))
        << c.module;
    EXPECT_EQ(run.exitCode, 1) << c.module << run.out << run.err;
    EXPECT_NE(run.err.find("\"#NOTE\" parse("), std::string::npos)
        << c.module << run.err;
  }
}

TEST(Validate, TextReportNamesTheFailureAndHowToRunItAgain) {
  std::string module;
  for (const auto &[check, path] : FaultyModules()) {
    module = check == "termination" ? path : module;
  }
  const HostRun run = Validate({"--seed=11", module});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("(seed 11, 100 iterations)\n"), std::string::npos);
  const std::string failed =
      LineStartingWith(run.out, "FAILED     termination ");
  EXPECT_NE(failed.find("no NUL within DIRECTIVE_RESULT_CAPACITY"),
            std::string::npos)
      << run.out;
  const std::string input = LineStartingWith(run.out, "           input: ");
  EXPECT_NE(input.find("\"#NOTE\" "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\n" + std::to_string(AllChecks().size() - 1) +
                         " passed, 1 failed\n"),
            std::string::npos);

  // The command it prints runs that check alone, on the same input.
  const std::string again = LineStartingWith(
      run.out, "to run the failed checks again: directive-host validate ");
  ASSERT_NE(again, "") << run.out;
  std::istringstream words(again.substr(again.find("validate ") + 9));
  std::vector<std::string> arguments;
  for (std::string word; words >> word;) {
    arguments.push_back(word);
  }
  ASSERT_EQ(arguments.back(), module) << "a path this test cannot split";
  const HostRun rerun = Validate(arguments);
  EXPECT_EQ(rerun.exitCode, 1);
  EXPECT_EQ(LineStartingWith(rerun.out, "           input: "), input);
  EXPECT_NE(rerun.out.find("\n0 passed, 1 failed\n"), std::string::npos)
      << rerun.out;

  // The same checks in this one process find the same.
  const HostRun here = Validate({"--in-process", "--seed", "11", "--only",
                                 "termination,capacity", module});
  EXPECT_EQ(here.exitCode, 1);
  EXPECT_EQ(LineStartingWith(here.out, "           input: "), input);
  EXPECT_NE(here.out.find("\n1 passed, 1 failed\n"), std::string::npos)
      << here.out;
}

// In this one process too the report keeps standard output: what a module
// prints goes to standard error, and host-state names it.
TEST(Validate, InProcessModuleOutputLeavesTheJsonAlone) {
  std::string module;
  for (const auto &[check, path] : FaultyModules()) {
    module = check == "host-state.output" ? path : module;
  }
  const HostRun run = Validate({"--in-process", "--json", "--seed", "7",
                                "--only", "determinism,host-state", module});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  // The report quotes it escaped, "note: parsing\\n".
  EXPECT_EQ(run.out.find("note: parsing\n"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("note: parsing\n"), std::string::npos) << run.err;
  const auto modules = Statuses(run.out);
  ASSERT_EQ(modules.size(), 1u) << run.out;
  EXPECT_EQ(modules[0].at("determinism"), "passed");
  EXPECT_EQ(modules[0].at("host-state"), "failed");
}

TEST(Validate, DefaultModuleWhenNoneIsNamed) {
  const HostRun run = Validate({"--only", "exports,registration"});
  EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  const std::string heading = LineStartingWith(run.out, "validating ");
  EXPECT_NE(
      heading.find(std::filesystem::path(kDefaultPlugin).filename().string()),
      std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("\n2 passed, 0 failed\n"), std::string::npos);
}

TEST(Validate, ExitStatusOfWrongCommandLinesAndUnloadableModules) {
  const std::string missing = kEchoPlugin + ".missing";
  const struct {
    std::vector<std::string> arguments;
    int exitCode;
    std::string fragment; // on standard error
  } cases[] = {
      {{"validate", "--only", "exports,nope", kEchoPlugin},
       2,
       "unknown check 'nope' in '--only'"},
      {{"validate", "--iterations", "0", kEchoPlugin},
       2,
       "'--iterations' needs a whole number of at least 1"},
      {{"validate", "--seed=x", kEchoPlugin},
       2,
       "'--seed' needs a whole number"},
      {{"--plugin", kEchoPlugin, "validate"}, 2, "not --plugin"},
      {{"validate", "--in-place", kEchoPlugin}, 2, "applies only to format"},
      {{"validate", missing},
       3,
       "cannot load plug-in module '" + missing + "'"},
      {{"validate", "--json", missing, kEchoPlugin}, 3, "cannot load"},
  };
  for (const auto &c : cases) {
    const HostRun run = RunProgram(kHost, c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.fragment << ": " << run.err;
    EXPECT_NE(run.err.find(c.fragment), std::string::npos) << run.err;
  }
  // The other modules are still validated, and the JSON says which failed.
  const HostRun run =
      Validate({"--json", "--only", "exports", missing, kEchoPlugin});
  EXPECT_NE(run.out.find("\"error\": "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"passed\": 1, \"failed\": 0"), std::string::npos);
}

} // namespace
