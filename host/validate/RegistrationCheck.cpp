#include "validate/RegistrationCheck.h"

#include "platform/ChildProcess.h"
#include "plugins/Registry.h"
#include "validate/Checks.h"
#include "validate/Escape.h"
#include "validate/Subject.h"

#include <algorithm>

namespace directive_host::validate {

namespace {

constexpr double kBareHostSeconds = 30;

std::string Nth(std::size_t index) {
  return "registration " + std::to_string(index + 1);
}

// What the module does in a host that exports no entry points: "" when it
// loads and its AutoRegister returns.
std::string BareHostFault(const CheckContext &context,
                          const std::string &autoRegister) {
  const platform::ChildOutcome outcome = platform::RunChild(
      context.bareHost, {context.module, autoRegister}, kBareHostSeconds);
  const std::string where = " in a host that exports no entry points";
  switch (outcome.end) {
  case platform::ChildOutcome::End::kExited:
    if (outcome.exitCode == 0) {
      return {};
    }
    return "cannot be loaded and registered" + where +
           (outcome.output.empty() ? "" : ": " + outcome.output);
  case platform::ChildOutcome::End::kCrashed:
    return "crashes (" + outcome.reason + ")" + where;
  case platform::ChildOutcome::End::kTimedOut:
    return "hangs" + where;
  case platform::ChildOutcome::End::kNotStarted:
    break;
  }
  return {}; // the host itself did not start: no fault of the module's
}

} // namespace

std::string RegistrationFault(const RegistrationRun &run) {
  if (run.first.empty()) {
    return "AutoRegister registers no keyword";
  }
  for (std::size_t i = 0; i < run.first.size(); ++i) {
    const RegistrationCall &call = run.first[i];
    if (call.keyword == nullptr) {
      return Nth(i) + " has a null keyword";
    }
    const std::string &keyword = run.firstKeywords[i];
    const std::string shown = Nth(i) + ", " + CLiteral(keyword) + ",";
    if (keyword.empty()) {
      return Nth(i) + " has an empty keyword";
    }
    if (keyword[0] != '#') {
      return shown + " does not start with '#'";
    }
    if (std::any_of(keyword.begin(), keyword.end(), [](char c) {
          return static_cast<unsigned char>(c) <= ' ';
        })) {
      return shown + " holds whitespace";
    }
    if (call.parse == nullptr || call.assemble == nullptr) {
      return shown + " has a null " +
             (call.parse == nullptr ? "parse" : "assemble") + " callback";
    }
    if (run.laterKeywords[i] != keyword) {
      return shown + " reads " + CLiteral(run.laterKeywords[i]) +
             " after later calls: keyword strings must stay valid and "
             "unchanged until the module is unloaded";
    }
  }
  // The host finds a keyword by ASCII case-insensitive comparison: a second
  // spelling of one is a handler it never calls.
  for (std::size_t i = 0; i < run.first.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (AsciiUpper(run.firstKeywords[j]) ==
          AsciiUpper(run.firstKeywords[i])) {
        return Nth(i) + ", " + CLiteral(run.firstKeywords[i]) +
               ", registers again the keyword of " + Nth(j) + ", " +
               CLiteral(run.firstKeywords[j]) +
               (run.firstKeywords[j] == run.firstKeywords[i]
                    ? ""
                    : " (keywords are compared without regard to ASCII "
                      "case)") +
               ": the host calls only one of them";
      }
    }
  }
  if (!run.late.empty()) {
    return "a registration of " + CLiteral(run.late.front().keyword) +
           " came from inside " + run.late.front().call +
           ", not from AutoRegister: hosts ignore it";
  }
  if (run.second.size() != run.first.size()) {
    return "a second AutoRegister makes " + std::to_string(run.second.size()) +
           " registrations, the first made " + std::to_string(run.first.size());
  }
  for (std::size_t i = 0; i < run.first.size(); ++i) {
    const RegistrationCall &a = run.first[i];
    const RegistrationCall &b = run.second[i];
    const std::string again = b.keyword != nullptr ? b.keyword : "";
    if (again != run.firstKeywords[i] || a.parse != b.parse ||
        a.assemble != b.assemble) {
      return "a second AutoRegister differs at " + Nth(i) + ": " +
             CLiteral(again) + " instead of " + CLiteral(run.firstKeywords[i]) +
             (again == run.firstKeywords[i] ? " with other callbacks" : "");
    }
  }
  return {};
}

CheckResult CheckRegistration(const CheckContext &context) {
  const ModuleUnderTest module(context.module);
  if (module.AutoRegisterName().empty()) {
    return {CheckStatus::kSkipped, "the module exports no AutoRegister", ""};
  }
  CrashNote note;
  note.Set("in AutoRegister");
  RegistrationRun run;
  run.first = module.Register();
  for (const RegistrationCall &call : run.first) {
    run.firstKeywords.push_back(call.keyword != nullptr ? call.keyword : "");
  }
  // Some use of the callbacks, then the keywords are read again.
  const std::vector<KeywordHandler> keywords = Callable(run.first);
  const GeneratedCalls generated =
      GenerateCalls(keywords, context.seed, std::min(context.iterations, 10));
  OutBuffer buffer;
  {
    std::vector<RegistrationCall> late;
    const LateRegistrationRecording recording(late);
    for (const Call &call : generated.calls) {
      note.Set("in a callback", Describe(call, keywords));
      ResultOf(call, keywords, buffer);
      for (std::size_t i = run.late.size(); i < late.size(); ++i) {
        run.late.push_back({late[i].keyword != nullptr ? late[i].keyword : "",
                            Describe(call, keywords)});
      }
    }
  }
  note.Set("in a second AutoRegister");
  run.second = module.Register();
  for (const RegistrationCall &call : run.first) {
    run.laterKeywords.push_back(call.keyword != nullptr ? call.keyword : "");
  }
  if (const std::string fault = RegistrationFault(run); !fault.empty()) {
    return Failed(fault);
  }
  std::string detail = std::to_string(run.first.size()) + " keyword" +
                       (run.first.size() == 1 ? "" : "s") + ":";
  for (const std::string &keyword : run.firstKeywords) {
    detail += " " + CLiteral(keyword);
  }
  if (context.bareHost.empty()) {
    return Passed(detail + "; not tried in a host that exports no entry "
                           "points: directive-bare-host is missing");
  }
  if (const std::string fault =
          BareHostFault(context, module.AutoRegisterName());
      !fault.empty()) {
    return Failed(fault);
  }
  return Passed(detail);
}

} // namespace directive_host::validate
