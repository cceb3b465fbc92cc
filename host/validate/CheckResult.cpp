#include "validate/CheckResult.h"

namespace directive_host::validate {

std::string_view StatusName(CheckStatus status) {
  switch (status) {
  case CheckStatus::kPassed:
    return "passed";
  case CheckStatus::kFailed:
    return "FAILED";
  case CheckStatus::kCrashed:
    return "crashed";
  case CheckStatus::kTimedOut:
    return "timed-out";
  case CheckStatus::kSkipped:
    return "skipped";
  case CheckStatus::kNotLoaded:
    break;
  }
  return "not-loaded";
}

} // namespace directive_host::validate
