#include "commands/ValidateCommand.h"

#include "io/Errors.h"
#include "io/Output.h"
#include "platform/CallWatch.h"
#include "platform/ChildProcess.h"
#include "platform/HostFiles.h"
#include "platform/HostState.h"
#include "platform/ModuleLoader.h"
#include "plugins/DefaultModule.h"
#include "validate/CheckRunner.h"
#include "validate/Report.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

namespace directive_host::validate {

namespace {

namespace fs = std::filesystem;

constexpr int kCallLimitAfterHang = 1;

template <typename Number>
Number NumberOption(const GivenOption &option, Number least) {
  Number value{};
  const char *end = option.value.data() + option.value.size();
  const auto [stop, error] = std::from_chars(option.value.data(), end, value);
  if (error != std::errc() || stop != end || value < least) {
    throw UsageError(
        "option '" + option.spelling + "' needs a whole number" +
        (least > 0 ? " of at least " + std::to_string(least) : std::string()) +
        ", not '" + option.value + "'");
  }
  return value;
}

std::vector<std::string> CheckNames(const GivenOption &option) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= option.value.size()) {
    std::size_t comma = option.value.find(',', start);
    comma = comma == std::string::npos ? option.value.size() : comma;
    const std::string name = option.value.substr(start, comma - start);
    if (FindCheck(name) == nullptr) {
      std::string known;
      for (const CheckSpec &check : AllChecks()) {
        known += (known.empty() ? "" : ", ") + std::string(check.name);
      }
      throw UsageError("unknown check '" + name + "' in '" + option.spelling +
                       "'; the checks are " + known);
    }
    names.push_back(name);
    start = comma + 1;
  }
  return names;
}

std::uint64_t NewSeed() {
  std::random_device device;
  const auto now = static_cast<std::uint64_t>(
      std::chrono::steady_clock::now().time_since_epoch().count());
  return (static_cast<std::uint64_t>(device()) << 32 ^ device() ^ now) %
         1000000000;
}

// directive-bare-host beside this program, or "".
std::string BareHostPath(const std::string &self) {
  if (self.empty()) {
    return {};
  }
  const fs::path program = platform::FileSystemPath(self);
  const fs::path bare = program.parent_path() /
                        ("directive-bare-host" + program.extension().string());
  std::error_code error;
  return fs::is_regular_file(bare, error) ? platform::PathString(bare) : "";
}

std::string DefaultModuleToValidate(const std::string &self) {
  const DefaultModule found = FindDefaultModule(self);
  if (!found.path.empty()) {
    return found.path;
  }
  throw Failure(std::string("no plug-in module to validate: found no ") +
                platform::PluginFileName() +
                (found.candidates.empty()
                     ? ""
                     : " at '" + found.candidates.front() + "'") +
                " (name one: directive-host validate MODULE)");
}

void Write(const std::string &text) {
  WriteOutput(text);
  std::fflush(stdout); // each check's line as soon as it is known
}

// The checks the options select, in the table's order.
std::vector<const CheckSpec *> Selected(const ValidateOptions &options) {
  std::vector<const CheckSpec *> checks;
  for (const CheckSpec &check : AllChecks()) {
    if (options.only.empty() ||
        std::find(options.only.begin(), options.only.end(), check.name) !=
            options.only.end()) {
      checks.push_back(&check);
    }
  }
  return checks;
}

// A check in this process. What the module writes to standard output goes
// to standard error meanwhile, so that the report stays readable (and
// --json parseable); the host-state check still sees it written.
CheckResult RunHereAside(const CheckSpec &check, const CheckContext &context) {
  const platform::OutputToError aside;
  return RunHere(check, context);
}

ModuleReport Validate(const ValidateOptions &options, CheckContext context,
                      const std::string &self) {
  ModuleReport report{context.module, {}, {}};
  if (!options.json) {
    Write(HeadingLine(context.module, context.seed, context.iterations));
  }
  for (const CheckSpec *check : Selected(options)) {
    const CheckResult result =
        options.inProcess || self.empty()
            ? RunHereAside(*check, context)
            : RunInChild(*check, context, self, options.timeLimit);
    if (result.status == CheckStatus::kNotLoaded) {
      report.error = result.detail;
      report.checks.clear();
      WriteDiagnostic("directive-host: cannot load plug-in module '" +
                      context.module + "': " + result.detail);
      return report;
    }
    if (result.status == CheckStatus::kTimedOut) {
      // The checks after it likely meet the same hang: each waits less.
      context.callLimit = kCallLimitAfterHang;
    }
    report.checks.push_back({std::string(check->name), result});
    if (!options.json) {
      Write(CheckLine(report.checks.back()));
    }
  }
  if (!options.json) {
    Write(ClosingLines(report, context.seed, context.iterations));
  }
  return report;
}

// A child: the one check, its result as a record.
int RunChildCheck(const ValidateOptions &options, const CheckContext &context) {
  platform::ReportCrashes();
  platform::WatchCalls(context.callLimit);
  const CheckResult result = RunHere(*FindCheck(options.runCheck), context);
  WriteOutput(ResultRecord(result));
  return kExitSuccess;
}

} // namespace

ValidateOptions ValidateOptionsOf(const Invocation &invocation) {
  ValidateOptions options;
  options.modules = invocation.operands;
  for (const GivenOption &option : invocation.options) {
    if (option.name == "--json") {
      options.json = true;
    } else if (option.name == "--in-process") {
      options.inProcess = true;
    } else if (option.name == "--seed") {
      options.seed = NumberOption<std::uint64_t>(option, 0);
    } else if (option.name == "--iterations") {
      options.iterations = NumberOption<int>(option, 1);
    } else if (option.name == "--time-limit") {
      options.timeLimit = NumberOption<int>(option, 1);
    } else if (option.name == "--call-limit") {
      options.callLimit = NumberOption<int>(option, 1);
    } else if (option.name == "--only") {
      options.only = CheckNames(option);
    } else if (option.name == "--run-check") {
      const std::vector<std::string> names = CheckNames(option);
      if (names.size() != 1) {
        throw UsageError("option '--run-check' takes one check");
      }
      options.runCheck = names.front();
    }
  }
  if (!options.runCheck.empty() &&
      (options.modules.size() != 1 || !options.seed)) {
    throw UsageError("option '--run-check' needs --seed and one MODULE");
  }
  return options;
}

void CheckValidateUsage(const Invocation &invocation) {
  if (!invocation.plugins.empty()) {
    throw UsageError("validate takes the modules to check as arguments, not "
                     "--plugin: directive-host validate MODULE...");
  }
  ValidateOptionsOf(invocation);
}

int RunValidate(const Invocation &invocation, const Registry &) {
  const ValidateOptions options = ValidateOptionsOf(invocation);
  const std::string self = platform::ExecutablePath();
  CheckContext context;
  context.seed = options.seed ? *options.seed : NewSeed();
  context.iterations = options.iterations;
  context.callLimit = options.callLimit;
  context.bareHost = BareHostPath(self);
  if (!options.runCheck.empty()) {
    context.module = options.modules.front();
    return RunChildCheck(options, context);
  }
  if (options.inProcess) {
    // No child to report a crash or hang: this process ends with the note
    // and the status of a failure.
    platform::ReportCrashes(
        "directive-host: validate --in-process ended by a crash or a hung "
        "call: ",
        kExitFound);
    platform::WatchCalls(
        std::min(static_cast<double>(context.callLimit), options.timeLimit));
  }
  const std::vector<std::string> modules =
      options.modules.empty()
          ? std::vector<std::string>{DefaultModuleToValidate(self)}
          : options.modules;
  std::vector<ModuleReport> reports;
  for (const std::string &module : modules) {
    context.module = module;
    reports.push_back(Validate(options, context, self));
  }
  if (options.json) {
    WriteOutput(JsonReport(reports, context.seed, context.iterations));
  }
  int code = kExitSuccess;
  for (const ModuleReport &report : reports) {
    if (!report.error.empty()) {
      return kExitFailure;
    }
    if (TallyOf(report).failed > 0) {
      code = kExitFound;
    }
  }
  return code;
}

} // namespace directive_host::validate
