// How a validation reads: one line per check as it ends and a closing tally,
// or one JSON document for every module.
#pragma once

#include "validate/CheckResult.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace directive_host::validate {

struct NamedResult {
  std::string name;
  CheckResult result;
};

struct ModuleReport {
  std::string module;
  std::string error; // why it could not be loaded; then no check ran
  std::vector<NamedResult> checks;
};

struct Tally {
  std::size_t passed = 0;
  std::size_t failed = 0; // failed, crashed or timed out
  std::size_t skipped = 0;
};

Tally TallyOf(const ModuleReport &report);

// "validating MODULE (seed N, I iterations)\n"
std::string HeadingLine(const std::string &module, std::uint64_t seed,
                        int iterations);

// "passed     exports       exports AutoRegister\n", and a line
// "input: ..." under it when there is an input.
std::string CheckLine(const NamedResult &check);

// "N passed, M failed\n" (", K skipped" when any were), and when any failed
// the command line that runs the failed checks again.
std::string ClosingLines(const ModuleReport &report, std::uint64_t seed,
                         int iterations);

// {"seed": S, "iterations": I, "modules": [{"module": PATH, "checks":
// [{"name", "status", "detail", "input"}], "passed": N, "failed": M,
// "skipped": K}]}; a module that did not load has "error" and no checks.
std::string JsonReport(const std::vector<ModuleReport> &reports,
                       std::uint64_t seed, int iterations);

} // namespace directive_host::validate
