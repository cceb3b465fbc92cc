// The host-state check: what of the process belongs to the host, taken
// before the module is loaded and compared after the load, after
// AutoRegister and after each call, with standard output and error
// captured throughout.
#include "platform/HostState.h"
#include "validate/Checks.h"
#include "validate/Escape.h"
#include "validate/Subject.h"

#include <optional>

namespace directive_host::validate {

namespace {

// Bytes of captured output a report shows.
constexpr std::size_t kOutputShown = 60;
// Bytes of the long inputs of the first calls: longer than a line, well
// within the capacity.
constexpr std::size_t kLongText = 4096;

// The first part of the state that differs, as a report says it.
std::optional<std::string> Difference(const platform::ProcessState &before,
                                      const platform::ProcessState &after) {
  auto was = before.begin();
  auto now = after.begin();
  while (was != before.end() || now != after.end()) {
    if (now == after.end() ||
        (was != before.end() && was->first < now->first)) {
      return was->first + " is gone (it was " + CLiteral(was->second) + ")";
    }
    if (was == before.end() || now->first < was->first) {
      return now->first + " is new: " + CLiteral(now->second);
    }
    if (was->second != now->second) {
      return was->first + " changed from " + CLiteral(was->second) + " to " +
             CLiteral(now->second);
    }
    ++was;
    ++now;
  }
  return std::nullopt;
}

// Compares the process with `before` after `step`; a failure names it.
class StateWatch {
public:
  StateWatch() : before_(platform::HostProcessState()) {}

  std::optional<CheckResult> After(const std::string &step,
                                   const std::string &input = "") const {
    const std::string written = output_.Bytes();
    if (!written.empty()) {
      return Failed(step + " wrote " + std::to_string(written.size()) +
                        " bytes to standard output or error, which are the "
                        "host's: " +
                        CLiteral(written.substr(0, kOutputShown)) +
                        (written.size() > kOutputShown ? "..." : ""),
                    input);
    }
    if (const auto difference =
            Difference(before_, platform::HostProcessState())) {
      return Failed(step + " changed the host's process: " + *difference,
                    input);
    }
    return std::nullopt;
  }

private:
  // First, so that the state taken includes the capture's own file.
  platform::CapturedOutput output_;
  platform::ProcessState before_;
};

} // namespace

CheckResult CheckHostState(const CheckContext &context) {
  const StateWatch watch;
  CrashNote note;
  note.Set("while it was loaded");
  const ModuleUnderTest module(context.module);
  if (auto failure = watch.After("loading the module")) {
    return *failure;
  }
  if (module.AutoRegisterName().empty()) {
    return {CheckStatus::kSkipped, "the module exports no AutoRegister", ""};
  }
  note.Set("in AutoRegister");
  const std::vector<KeywordHandler> keywords = Callable(module.Register());
  if (auto failure = watch.After("AutoRegister")) {
    return *failure;
  }
  if (keywords.empty()) {
    return {CheckStatus::kSkipped,
            "AutoRegister registers no keyword with both callbacks", ""};
  }
  // First calls of each callback, short and long, one by one, so that a
  // change is traced to its input before the many calls that make the
  // inputs.
  OutBuffer buffer;
  const std::string longText(kLongText, 'x');
  for (std::size_t k = 0; k < keywords.size(); ++k) {
    using Kind = Call::Kind;
    const std::string &keyword = keywords[k].keyword;
    const std::string name = keyword.substr(1);
    const Call first[] = {
        {Kind::kParse, k, keyword + " x", std::nullopt},
        {Kind::kAssemble, k, name + "=x", keyword},
        {Kind::kParse, k, keyword + " " + longText, std::nullopt},
        {Kind::kAssemble, k, name + "=" + longText, keyword},
    };
    for (const Call &call : first) {
      const std::string input = Describe(call, keywords);
      note.Set("", input);
      ResultOf(call, keywords, buffer);
      if (auto failure = watch.After(
              "the call of " + CallbackName(call, keywords), input)) {
        return *failure;
      }
    }
  }
  note.Set("while its inputs were made");
  const GeneratedCalls generated =
      GenerateCalls(keywords, context.seed, context.iterations);
  if (auto failure = watch.After(
          "one of the calls that made the inputs (which is not known)")) {
    return *failure;
  }
  const Budget budget;
  Coverage coverage;
  coverage.of = generated.calls.size();
  for (const Call &call : generated.calls) {
    if (budget.Spent()) {
      break;
    }
    const std::string input = Describe(call, keywords);
    note.Set("", input);
    ResultOf(call, keywords, buffer);
    ++coverage.made;
    if (auto failure =
            watch.After("the call of " + CallbackName(call, keywords), input)) {
      return *failure;
    }
  }
  return Passed("the load, AutoRegister and " + coverage.Calls() +
                " left the host's process as they found it and wrote "
                "nothing");
}

} // namespace directive_host::validate
