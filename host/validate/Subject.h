// What most checks start from: the module loaded and registered, the calls
// generated for it, and a note of the call under way for a crash report.
#pragma once

#include "validate/Checks.h"
#include "validate/InputGenerator.h"
#include "validate/ModuleUnderTest.h"

#include <optional>
#include <string>
#include <vector>

namespace directive_host::validate {

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

private:
  ModuleUnderTest module_;
  std::vector<KeywordHandler> keywords_;
  GeneratedCalls generated_;
};

// While it lives, a crash of the process reports the last Set() detail and
// input (see platform::ReportCrashes).
class CrashNote {
public:
  CrashNote() = default;
  ~CrashNote();
  CrashNote(const CrashNote &) = delete;
  CrashNote &operator=(const CrashNote &) = delete;

  void Set(const std::string &detail, const std::string &input = "");

private:
  std::string text_;
};

CheckResult Passed(std::string detail);
CheckResult Failed(std::string detail, std::string input = "");

} // namespace directive_host::validate
