#include "validate/Report.h"

#include "validate/Escape.h"

#include <cctype>

namespace directive_host::validate {

namespace {

constexpr std::size_t kStatusWidth = 11;
constexpr std::size_t kNameWidth = 14;

std::string Padded(std::string_view text, std::size_t width) {
  std::string padded(text);
  padded.resize(std::max(width, text.size() + 1), ' ');
  return padded;
}

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  for (char &c : lower) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return lower;
}

// A path as a shell takes it back.
std::string ShellWord(const std::string &word) {
  if (!word.empty() &&
      word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVW"
                             "XYZ0123456789_-./:\\+=,@") == std::string::npos) {
    return word;
  }
  std::string quoted = "'";
  for (const char c : word) {
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return quoted + "'";
}

} // namespace

Tally TallyOf(const ModuleReport &report) {
  Tally tally;
  for (const NamedResult &check : report.checks) {
    if (IsFailure(check.result.status)) {
      ++tally.failed;
    } else if (check.result.status == CheckStatus::kSkipped) {
      ++tally.skipped;
    } else {
      ++tally.passed;
    }
  }
  return tally;
}

std::string HeadingLine(const std::string &module, std::uint64_t seed,
                        int iterations) {
  return "validating " + module + " (seed " + std::to_string(seed) + ", " +
         std::to_string(iterations) + " iterations)\n";
}

std::string CheckLine(const NamedResult &check) {
  std::string line = Padded(StatusName(check.result.status), kStatusWidth) +
                     Padded(check.name, kNameWidth) + check.result.detail +
                     "\n";
  if (!check.result.input.empty()) {
    line +=
        std::string(kStatusWidth, ' ') + "input: " + check.result.input + "\n";
  }
  return line;
}

std::string ClosingLines(const ModuleReport &report, std::uint64_t seed,
                         int iterations) {
  const Tally tally = TallyOf(report);
  std::string lines = std::to_string(tally.passed) + " passed, " +
                      std::to_string(tally.failed) + " failed";
  if (tally.skipped > 0) {
    lines += ", " + std::to_string(tally.skipped) + " skipped";
  }
  lines += "\n";
  if (tally.failed > 0) {
    std::string only;
    for (const NamedResult &check : report.checks) {
      if (IsFailure(check.result.status)) {
        only += (only.empty() ? "" : ",") + check.name;
      }
    }
    lines += "to run the failed checks again: directive-host validate --seed " +
             std::to_string(seed) + " --iterations " +
             std::to_string(iterations) + " --only " + only + " " +
             ShellWord(report.module) + "\n";
  }
  return lines;
}

std::string JsonReport(const std::vector<ModuleReport> &reports,
                       std::uint64_t seed, int iterations) {
  std::string json = "{\"seed\": " + std::to_string(seed) +
                     ", \"iterations\": " + std::to_string(iterations) +
                     ", \"modules\": [";
  for (std::size_t m = 0; m < reports.size(); ++m) {
    const ModuleReport &report = reports[m];
    json += std::string(m > 0 ? ", " : "") +
            "{\"module\": " + JsonString(report.module);
    if (!report.error.empty()) {
      json += ", \"error\": " + JsonString(report.error);
    }
    json += ", \"checks\": [";
    for (std::size_t c = 0; c < report.checks.size(); ++c) {
      const NamedResult &check = report.checks[c];
      json += std::string(c > 0 ? ", " : "") +
              "{\"name\": " + JsonString(check.name) + ", \"status\": " +
              JsonString(LowerCase(StatusName(check.result.status))) +
              ", \"detail\": " + JsonString(check.result.detail) +
              ", \"input\": " + JsonString(check.result.input) + "}";
    }
    const Tally tally = TallyOf(report);
    json += "], \"passed\": " + std::to_string(tally.passed) +
            ", \"failed\": " + std::to_string(tally.failed) +
            ", \"skipped\": " + std::to_string(tally.skipped) + "}";
  }
  return json + "]}\n";
}

} // namespace directive_host::validate
