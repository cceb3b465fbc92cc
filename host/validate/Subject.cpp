#include "validate/Subject.h"

#include "platform/ChildProcess.h"

namespace directive_host::validate {

Subject::Subject(const CheckContext &context, bool generate)
    : module_(context.module), keywords_(Callable(module_.Register())) {
  if (generate && !keywords_.empty()) {
    generated_ = GenerateCalls(keywords_, context.seed, context.iterations);
  }
}

std::optional<CheckResult> Subject::Skip() const {
  if (module_.AutoRegisterName().empty()) {
    return CheckResult{CheckStatus::kSkipped,
                       "the module exports no AutoRegister", ""};
  }
  if (keywords_.empty()) {
    return CheckResult{CheckStatus::kSkipped,
                       "AutoRegister registers no keyword with both callbacks",
                       ""};
  }
  return std::nullopt;
}

CrashNote::~CrashNote() { platform::SetCrashNote(nullptr); }

void CrashNote::Set(const std::string &detail, const std::string &input) {
  platform::SetCrashNote(nullptr);
  text_ = detail + "\n" + input;
  platform::SetCrashNote(&text_);
}

CheckResult Passed(std::string detail) {
  return {CheckStatus::kPassed, std::move(detail), ""};
}

CheckResult Failed(std::string detail, std::string input) {
  return {CheckStatus::kFailed, std::move(detail), std::move(input)};
}

} // namespace directive_host::validate
