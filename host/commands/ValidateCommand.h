// directive-host validate: runs the checks on each module and reports them.
#pragma once

#include "app/CommandLine.h"
#include "plugins/Registry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace directive_host::validate {

struct ValidateOptions {
  bool json = false;
  std::optional<std::uint64_t> seed; // a new one each run when not given
  int iterations = 100;
  std::vector<std::string> only; // check names; empty for all
  bool inProcess = false;
  double timeLimit = 120; // seconds per check in a child process
  int callLimit = 3;      // seconds per call of the module
  std::string runCheck;   // set in a child: the one check it runs
  std::vector<std::string> modules;
};

// The options of `invocation`; throws UsageError for a wrong value or an
// unknown check name.
ValidateOptions ValidateOptionsOf(const Invocation &invocation);

void CheckValidateUsage(const Invocation &invocation);

int RunValidate(const Invocation &invocation, const Registry &registry);

} // namespace directive_host::validate
