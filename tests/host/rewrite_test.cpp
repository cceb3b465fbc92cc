// Unit tests of how format -i replaces a file, and of how a run goes on
// after one of its files fails.
#include "Errors.h"
#include "FileIO.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace directive_host;
namespace fs = std::filesystem;

std::string Read(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void Put(const fs::path &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> Names(const fs::path &folder) {
  std::vector<std::string> names;
  for (const auto &entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class RewriteTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("rewrite-test-" + std::to_string(std::random_device()()));
    ASSERT_TRUE(fs::create_directory(folder_));
    file_ = folder_ / "f.txt";
    Put(file_, "#goto=a\n");
  }
  void TearDown() override { fs::remove_all(folder_); }

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
  EXPECT_EQ(Read(file_), "#GOTO =\"a\"\n");
  EXPECT_EQ(Names(folder_), std::vector<std::string>{"f.txt"});
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
         Put(f, "#goto=b\n");
         fs::last_write_time(f, time + std::chrono::seconds(2));
       },
       "#goto=b\n"},
      {"another file put in its place, as an editor saves",
       [](const fs::path &f) {
         const fs::path saved = f.parent_path() / "saved.tmp";
         Put(saved, "#goto=a\n");
         fs::last_write_time(saved, fs::last_write_time(f));
         fs::rename(saved, f);
       },
       "#goto=a\n"},
  };
  for (const auto &edit : edits) {
    SCOPED_TRACE(edit.what);
    Put(file_, "#goto=a\n");
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
    EXPECT_EQ(Read(file_), edit.after);
  }
  EXPECT_EQ(Names(folder_), std::vector<std::string>{"f.txt"});
}

TEST_F(RewriteTest, RemovesItsTemporaryFileWhenNotCommitted) {
  const FileToRewrite file = ReadFileToRewrite(file_.string());
  {
    Rewrite rewrite(file);
    rewrite.Write("half");
    EXPECT_EQ(Names(folder_).size(), 2u);
  }
  EXPECT_EQ(Names(folder_), std::vector<std::string>{"f.txt"});
  EXPECT_EQ(Read(file_), "#goto=a\n");
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
