// What the end-to-end tests of directive-host share: the programs and modules
// under test, a fixture that gives each test a folder of its own, and checks
// of the program's output.
#pragma once

#include "HostRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// A file of the build as this platform names it. The build passes its paths
// in its own form, which for a Windows build under Wine is the Unix one.
inline std::string BuiltFile(const char *path) {
  return fs::absolute(path).make_preferred().string();
}

inline const std::string kHost = BuiltFile(DIRECTIVE_HOST_PATH);
inline const std::string kSayPlugin = BuiltFile(SAY_PLUGIN_PATH);
inline const std::string kGotoOnlyPlugin = BuiltFile(GOTO_ONLY_PLUGIN_PATH);
inline const std::string kNoAutoRegister = BuiltFile(NO_AUTOREGISTER_PATH);
// The default module's file name on this platform.
inline const std::string kModuleFile =
    fs::path(DEFAULT_PLUGIN_PATH).filename().string();

inline std::string DefaultPlugin() {
  return fs::canonical(DEFAULT_PLUGIN_PATH).string();
}

::testing::AssertionResult StartsWith(const std::string &text,
                                      const std::string &prefix);
::testing::AssertionResult Contains(const std::string &text,
                                    const std::string &part);

// The separator of folder names that paths on this platform use.
inline const std::string
    kSeparator(1, static_cast<char>(fs::path::preferred_separator));

// One line on standard error, and the exit code of a failure.
void ExpectFailure(const HostRun &run, int exitCode,
                   const std::string &fragment);

// A failure whose message is `ours` followed by the system's reason, whose
// wording differs per platform: the reason is only checked to be there.
void ExpectFailureWithReason(const HostRun &run, int exitCode,
                             const std::string &ours);

// Each test works in a fresh folder of its own, and runs the program there.
class HostTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  HostRun Run(const std::vector<std::string> &arguments,
              const std::string &input = "") const {
    return RunProgram(kHost, arguments, {input, folder_, "", {}});
  }
  fs::path File(const std::string &name, const std::string &bytes) const {
    WriteBytes(folder_ / name, bytes);
    return folder_ / name;
  }
  const fs::path &Folder() const { return folder_; }

  // A copy of the program in a folder of its own, without a default module
  // beside it, so that only --plugin modules register keywords.
  std::string LoneHost() const;

private:
  fs::path folder_;
};
