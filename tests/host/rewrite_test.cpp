// Unit tests of how format -i replaces a file, and of how a run goes on
// after one of its files fails.
#include "HostRun.h"
#include "commands/InputLoop.h"
#include "io/Errors.h"
#include "io/FileIO.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

namespace {

using namespace directive_host;
namespace fs = std::filesystem;

class RewriteTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = MakeTemporaryFolder("rewrite-test");
    file_ = folder_ / "f.txt";
    WriteBytes(file_, "#goto=a\n");
  }
  void TearDown() override { RemoveTree(folder_); }

  fs::path folder_;
  fs::path file_;
};

TEST_F(RewriteTest, ReplacesTheFileItRead) {
  const FileToRewrite file = ReadFileToRewrite(file_.string());
  EXPECT_EQ(file.contents, "#goto=a\n");
  Rewrite rewrite(file);
  rewrite.Write("#GOTO ");
  rewrite.Write("=\"a\"\n");
  rewrite.Commit();
  EXPECT_EQ(ReadBytes(file_), "#GOTO =\"a\"\n");
  EXPECT_EQ(FolderNames(folder_), std::vector<std::string>{"f.txt"});
}

TEST_F(RewriteTest, LeavesAFileThatChangedSinceItWasReadAsItIs) {
  const struct {
    const char *what;
    void (*edit)(const fs::path &file);
    std::string after;
  } edits[] = {
      {"text appended",
       [](const fs::path &f) {
         std::ofstream(f, std::ios::binary | std::ios::app) << "more\n";
       },
       "#goto=a\nmore\n"},
      {"the same size written anew, later",
       [](const fs::path &f) {
         const auto time = fs::last_write_time(f);
         WriteBytes(f, "#goto=b\n");
         fs::last_write_time(f, time + std::chrono::seconds(2));
       },
       "#goto=b\n"},
      {"another file put in its place, as an editor saves",
       [](const fs::path &f) {
         const fs::path saved = f.parent_path() / "saved.tmp";
         WriteBytes(saved, "#goto=a\n");
         fs::last_write_time(saved, fs::last_write_time(f));
         fs::rename(saved, f);
       },
       "#goto=a\n"},
  };
  for (const auto &edit : edits) {
    SCOPED_TRACE(edit.what);
    WriteBytes(file_, "#goto=a\n");
    const FileToRewrite file = ReadFileToRewrite(file_.string());
    Rewrite rewrite(file);
    rewrite.Write("#GOTO =\"a\"\n");
    edit.edit(file_);
    try {
      rewrite.Commit();
      ADD_FAILURE() << "the rewrite was put in place";
    } catch (const Failure &failure) {
      EXPECT_EQ(std::string(failure.what()),
                "cannot rewrite '" + file_.string() +
                    "': it changed while it was being formatted; left as it "
                    "is (run format again)");
    }
    EXPECT_EQ(ReadBytes(file_), edit.after);
  }
  EXPECT_EQ(FolderNames(folder_), std::vector<std::string>{"f.txt"});
}

TEST_F(RewriteTest, RemovesItsTemporaryFileWhenNotCommitted) {
  const FileToRewrite file = ReadFileToRewrite(file_.string());
  {
    Rewrite rewrite(file);
    rewrite.Write("half");
    EXPECT_EQ(FolderNames(folder_).size(), 2u);
  }
  EXPECT_EQ(FolderNames(folder_), std::vector<std::string>{"f.txt"});
  EXPECT_EQ(ReadBytes(file_), "#goto=a\n");
}

TEST(ForEachInput, NamesAFileThatRanOutOfMemoryAndGoesOn) {
  std::vector<std::string> handled;
  ::testing::internal::CaptureStderr();
  const int code = ForEachInput({"big.txt", "small.txt"},
                                [&](const std::string &path) -> bool {
                                  if (path == "big.txt") {
                                    throw std::bad_alloc();
                                  }
                                  handled.push_back(path);
                                  return false;
                                });
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(code, kExitFailure);
  EXPECT_EQ(handled, std::vector<std::string>{"small.txt"});
  EXPECT_EQ(err,
            "directive-host: not enough memory for 'big.txt'; left as it is\n");
}

} // namespace
