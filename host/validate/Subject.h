// What most checks start from: the module loaded and registered, the calls
// generated for it, the time the check may spend calling it, and a note of
// the call under way for a crash report.
#pragma once

#include "validate/Checks.h"
#include "validate/CrashNote.h"
#include "validate/InputGenerator.h"
#include "validate/ModuleUnderTest.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace directive_host::validate {

// Seconds a check may spend calling the module beyond making its inputs:
// a slow module gets fewer of its calls made, never a time-out.
inline constexpr std::chrono::milliseconds kCheckBudget{2000};

// The time left of a check's budget, from its construction.
class Budget {
public:
  using Clock = std::chrono::steady_clock;
  explicit Budget(Clock::duration budget = kCheckBudget)
      : end_(Clock::now() + budget) {}
  bool Spent() const { return Clock::now() >= end_; }
  // A budget of the part `share` of what is left of this one.
  Budget Part(double share) const;

private:
  Clock::time_point end_;
};

// How many of a check's calls it made: all, or those its budget allowed.
struct Coverage {
  std::size_t made = 0;
  std::size_t of = 0;
  // "342 calls", or "120 of 342 calls (as many as 2 s allowed)".
  std::string Calls() const;
};

class Subject {
public:
  // Loads and registers the module; throws NotLoaded. Generates the calls
  // only when `generate` is set.
  explicit Subject(const CheckContext &context, bool generate = true);

  // Why the check cannot run: no AutoRegister, or no keyword registered with
  // both callbacks.
  std::optional<CheckResult> Skip() const;

  const std::vector<KeywordHandler> &Keywords() const { return keywords_; }
  const GeneratedCalls &Generated() const { return generated_; }
  std::string Describe(const Call &call) const {
    return validate::Describe(call, keywords_);
  }

  // The generated calls' indices in the order a check makes them: each
  // callback in turn, and of each its first and last inputs first, so that a
  // budget that ends the check early still leaves every callback and every
  // kind of input tried.
  const std::vector<std::size_t> &Order() const { return order_; }

  // Calls visit(index, input) for the calls in Order(), `input` the call as
  // a report shows it and the note set to `doing` and it, until visit gives
  // a failure, which it returns, or the budget is spent. `coverage` counts.
  using Visit = std::function<std::optional<CheckResult>(
      std::size_t index, const std::string &input)>;
  std::optional<CheckResult> EachCall(CrashNote &note, const std::string &doing,
                                      const Budget &budget, Coverage &coverage,
                                      const Visit &visit) const;

private:
  ModuleUnderTest module_;
  std::vector<KeywordHandler> keywords_;
  GeneratedCalls generated_;
  std::vector<std::size_t> order_;
};

// Runs body(subject, note) on the module loaded and its calls generated, or
// gives the reason it cannot run.
CheckResult
OnSubject(const CheckContext &context,
          const std::function<CheckResult(const Subject &, CrashNote &)> &body);

CheckResult Passed(std::string detail);
// A change of size as a report writes it: "+64 KiB", "-12 bytes".
std::string Growth(long long bytes);
CheckResult Failed(std::string detail, std::string input = "");

} // namespace directive_host::validate
