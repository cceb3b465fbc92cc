#include "validate/CheckRunner.h"

#include "validate/ModuleUnderTest.h"

#include <charconv>
#include <exception>
#include <optional>

namespace directive_host::validate {

namespace {

constexpr std::string_view kRecordMarker =
    "\n@@ directive-host check result @@\n";

// "LENGTH\nBYTES" from `at`; advances `at`. False when cut short.
bool ReadField(std::string_view record, std::size_t &at, std::string &field) {
  const std::size_t line = record.find('\n', at);
  std::size_t length = 0;
  if (line == std::string_view::npos ||
      std::from_chars(record.data() + at, record.data() + line, length).ec !=
          std::errc() ||
      record.size() - line - 1 < length) {
    return false;
  }
  field = record.substr(line + 1, length);
  at = line + 1 + length;
  return true;
}

std::string Field(const std::string &bytes) {
  return std::to_string(bytes.size()) + "\n" + bytes;
}

std::string Seconds(double seconds) {
  std::string text = std::to_string(seconds);
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') {
    text.pop_back();
  }
  return text;
}

} // namespace

CheckResult RunHere(const CheckSpec &check, const CheckContext &context) {
  try {
    return check.run(context);
  } catch (const NotLoaded &error) {
    return {CheckStatus::kNotLoaded, error.what(), ""};
  } catch (const ModuleThrew &error) {
    return {CheckStatus::kFailed,
            std::string("an exception left the module: ") + error.what() +
                " (none may leave a callback or AutoRegister)",
            error.input()};
  } catch (const std::exception &error) {
    return {CheckStatus::kFailed,
            std::string("the validator itself failed: ") + error.what(), ""};
  }
}

std::vector<std::string> ChildArguments(const CheckSpec &check,
                                        const CheckContext &context) {
  return {"validate",
          "--run-check=" + std::string(check.name),
          "--seed=" + std::to_string(context.seed),
          "--iterations=" + std::to_string(context.iterations),
          "--call-limit=" + std::to_string(context.callLimit),
          "--",
          context.module};
}

CheckResult RunInChild(const CheckSpec &check, const CheckContext &context,
                       const std::string &self, double seconds) {
  return ResultOfChild(
      platform::RunChild(self, ChildArguments(check, context), seconds),
      seconds, context.callLimit);
}

std::string ResultRecord(const CheckResult &result) {
  return std::string(kRecordMarker) +
         std::to_string(static_cast<int>(result.status)) + "\n" +
         Field(result.detail) + Field(result.input);
}

CheckResult ResultOfChild(const platform::ChildOutcome &outcome, double seconds,
                          int callLimit) {
  using End = platform::ChildOutcome::End;
  const std::string_view output = outcome.output;
  // A note a crash or a hang left: "DETAIL\nINPUT".
  const auto noted =
      [&](std::string_view marker, CheckStatus status,
          const std::string &what) -> std::optional<CheckResult> {
    const std::size_t note = output.rfind(marker);
    if (note == std::string_view::npos) {
      return std::nullopt;
    }
    const std::string_view text = output.substr(note + marker.size());
    const std::size_t line = text.find('\n');
    const std::string detail(text.substr(0, line));
    const char *joint = status == CheckStatus::kTimedOut ? ": " : " ";
    return CheckResult{status, what + (detail.empty() ? "" : joint + detail),
                       line == std::string_view::npos
                           ? ""
                           : std::string(text.substr(line + 1))};
  };
  if (auto hung = noted(platform::kHangNoteMarker, CheckStatus::kTimedOut,
                        "a call did not return within " +
                            std::to_string(callLimit) + " s")) {
    return *hung;
  }
  if (auto crashed =
          noted(platform::kCrashNoteMarker, CheckStatus::kCrashed,
                "crashed: " +
                    (outcome.end == End::kCrashed ? outcome.reason
                     : outcome.exitCode == platform::kAbortExitCode
                         ? "aborted (exit code " +
                               std::to_string(outcome.exitCode) + ")"
                         : "exit code " + std::to_string(outcome.exitCode)))) {
    return *crashed;
  }
  switch (outcome.end) {
  case End::kTimedOut:
    return {CheckStatus::kTimedOut,
            "did not end within " + Seconds(seconds) + " s", ""};
  case End::kCrashed:
    return {CheckStatus::kCrashed, "crashed: " + outcome.reason, ""};
  case End::kNotStarted:
    return {CheckStatus::kFailed,
            "the validator could not start a process for it: " + outcome.reason,
            ""};
  case End::kExited:
    break;
  }
  const std::size_t record = output.rfind(kRecordMarker);
  CheckResult result;
  std::size_t at = record + kRecordMarker.size();
  const std::size_t line = output.find('\n', at);
  int status = -1;
  if (record != std::string_view::npos && line != std::string_view::npos &&
      std::from_chars(output.data() + at, output.data() + line, status).ec ==
          std::errc() &&
      status >= 0 && status <= static_cast<int>(CheckStatus::kNotLoaded) &&
      ReadField(output, at = line + 1, result.detail) &&
      ReadField(output, at, result.input)) {
    result.status = static_cast<CheckStatus>(status);
    return result;
  }
  return {CheckStatus::kCrashed,
          "ended with exit code " + std::to_string(outcome.exitCode) +
              " before it had a result",
          ""};
}

} // namespace directive_host::validate
