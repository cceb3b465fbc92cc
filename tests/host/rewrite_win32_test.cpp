// Unit tests of format -i that rest on Windows.
#include "HostRun.h"
#include "io/FileIO.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

using namespace directive_host;
namespace fs = std::filesystem;

// Ctrl-C, Ctrl-Break and closing the console remove the temporary file
// from the console's own thread, while the file is open for writing.
TEST(RewriteWin32, TheTemporaryFileCanBeRemovedWhileItIsWritten) {
  const fs::path folder = MakeTemporaryFolder("rewrite-win32-test");
  WriteBytes(folder / "f.txt", "#goto=a\n");
  {
    const FileToRewrite file = ReadFileToRewrite((folder / "f.txt").string());
    Rewrite rewrite(file);
    rewrite.Write("#GOTO =\"a\"\n");
    const std::vector<std::string> names = FolderNames(folder);
    ASSERT_EQ(names.size(), 2u);
    ASSERT_EQ(names[0].rfind(".directive-host-", 0), 0u) << names[0];
    EXPECT_TRUE(DeleteFileW((folder / names[0]).c_str()))
        << "error " << GetLastError();
  }
  EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"f.txt"});
  EXPECT_EQ(ReadBytes(folder / "f.txt"), "#goto=a\n");
  RemoveTree(folder);
}

} // namespace
