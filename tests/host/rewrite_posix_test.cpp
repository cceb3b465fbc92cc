// Unit tests of format -i that rest on POSIX: special files, owners and
// modes.
#include "HostRun.h"
#include "io/Errors.h"
#include "io/FileIO.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace {

using namespace directive_host;
namespace fs = std::filesystem;

class RewritePosixTest : public ::testing::Test {
protected:
  void SetUp() override { folder_ = MakeTemporaryFolder("rewrite-posix-test"); }
  void TearDown() override { RemoveTree(folder_); }

  fs::path folder_;
};

TEST_F(RewritePosixTest, RefusesAFifoWithoutWaitingForAWriter) {
  const fs::path fifo = folder_ / "pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  try {
    ReadFileToRewrite(fifo.string());
    ADD_FAILURE() << "a FIFO was read to be rewritten";
  } catch (const Failure &failure) {
    EXPECT_EQ(std::string(failure.what()),
              "cannot rewrite '" + fifo.string() +
                  "': it is a FIFO, not a regular file; left as it is");
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST_F(RewritePosixTest, KeepsTheOwnerTheGroupAndTheMode) {
  if (geteuid() != 0) {
    GTEST_SKIP() << "only root may give a file to another user";
  }
  const fs::path path = folder_ / "f.txt";
  WriteBytes(path, "#goto=a\n");
  ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  struct stat before {};
  ASSERT_EQ(stat(path.c_str(), &before), 0);

  const FileToRewrite file = ReadFileToRewrite(path.string());
  Rewrite rewrite(file);
  rewrite.Write("#GOTO =\"a\"\n");
  rewrite.Commit();

  struct stat after {};
  ASSERT_EQ(stat(path.c_str(), &after), 0);
  EXPECT_NE(after.st_ino, before.st_ino); // a new file, renamed into place
  EXPECT_EQ(after.st_uid, 65534u);
  EXPECT_EQ(after.st_gid, 65534u);
  EXPECT_EQ(after.st_mode & 07777, 0640u);
}

} // namespace
