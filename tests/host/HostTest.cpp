#include "HostTest.h"

::testing::AssertionResult StartsWith(const std::string &text,
                                      const std::string &prefix) {
  if (text.starts_with(prefix)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "'" << text << "' does not start with '" << prefix << "'";
}

::testing::AssertionResult Contains(const std::string &text,
                                    const std::string &part) {
  if (text.find(part) != std::string::npos) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "'" << text << "' does not contain '" << part << "'";
}

void ExpectFailure(const HostRun &run, int exitCode,
                   const std::string &fragment) {
  EXPECT_EQ(run.exitCode, exitCode) << run.err;
  EXPECT_TRUE(StartsWith(run.err, "directive-host: "));
  EXPECT_TRUE(Contains(run.err, fragment));
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}

void ExpectFailureWithReason(const HostRun &run, int exitCode,
                             const std::string &ours) {
  EXPECT_EQ(run.exitCode, exitCode) << run.err;
  const std::string start = "directive-host: " + ours;
  ASSERT_TRUE(StartsWith(run.err, start));
  const std::string reason = run.err.substr(start.size());
  EXPECT_GT(reason.size(), 1u) << "no reason given";
  EXPECT_EQ(reason.find('\n'), reason.size() - 1) << run.err;
}

void HostTest::SetUp() {
  folder_ = fs::canonical(MakeTemporaryFolder("directive-host-test"));
}

void HostTest::TearDown() { RemoveTree(folder_); }

std::string HostTest::LoneHost() const {
  const fs::path bin = folder_ / "lone";
  fs::create_directories(bin);
  const fs::path copy = bin / fs::path(kHost).filename();
  fs::copy_file(kHost, copy, fs::copy_options::overwrite_existing);
  return copy.string();
}
