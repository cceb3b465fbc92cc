// What one check of a plug-in module found.
#pragma once

#include <string>
#include <string_view>

namespace directive_host::validate {

enum class CheckStatus {
  kPassed,
  kFailed,
  kCrashed,
  kTimedOut,
  kSkipped,
  kNotLoaded, // the module could not be loaded at all: no check ran
};

struct CheckResult {
  CheckStatus status = CheckStatus::kPassed;
  std::string detail; // one line: what passed, or what went wrong
  std::string input;  // the call that shows a failure, escaped; may be empty
};

// "passed", "FAILED", "crashed", "timed-out", "skipped" as the text report
// writes them; "not-loaded" for a module that did not load.
std::string_view StatusName(CheckStatus status);

// A result that counts against the module.
inline bool IsFailure(CheckStatus status) {
  return status == CheckStatus::kFailed || status == CheckStatus::kCrashed ||
         status == CheckStatus::kTimedOut;
}

} // namespace directive_host::validate
