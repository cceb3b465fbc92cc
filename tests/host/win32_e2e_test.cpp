// End-to-end tests of directive-host that rest on Windows: the counterparts
// of the POSIX-only cases. A file another program holds open, a read-only
// file, and, under Wine, the Unix device it shows as Z:\dev\full.
#include "HostTest.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

// Holds `path` open for reading, as an editor might, sharing it for reading
// and writing but not for deletion or renaming.
class HeldOpen {
public:
  explicit HeldOpen(const fs::path &path)
      : handle_(CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  HeldOpen(const HeldOpen &) = delete;
  HeldOpen &operator=(const HeldOpen &) = delete;
  ~HeldOpen() {
    if (handle_ != INVALID_HANDLE_VALUE) {
      CloseHandle(handle_);
    }
  }
  bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
  HANDLE handle_;
};

// Wine shows the Unix root as drive Z:; on Windows the device is not there.
bool FullDeviceUnderWine() {
  const HANDLE device =
      CreateFileA("Z:\\dev\\full", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (device == INVALID_HANDLE_VALUE) {
    return false;
  }
  CloseHandle(device);
  return true;
}

bool ReadOnly(const fs::path &path) {
  return (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY) != 0;
}

TEST_F(HostTest, FormatInPlaceLeavesAFileThatAnotherProgramHoldsAsItWas) {
  const fs::path file = File("f.txt", "#goto=a\r\n");
  const HeldOpen editor(file);
  ASSERT_TRUE(editor.held());
  // Reading shares what the holder allows; replacing the file does not.
  const HostRun run = Run({"format", "-i", "f.txt"});
  ExpectFailureWithReason(run, 3, "cannot write 'f.txt': ");
  EXPECT_EQ(ReadBytes(file), "#goto=a\r\n");
  EXPECT_EQ(FolderNames(Folder()), std::vector<std::string>{"f.txt"});
}

TEST_F(HostTest, FormatInPlaceLeavesAHeldReadOnlyFileAndNoTemporaryFile) {
  // The temporary file takes the read-only attribute before the rename,
  // which fails here; the attribute must not keep it from being removed.
  const fs::path file = File("f.txt", "#goto=a\r\n");
  ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
  {
    const HeldOpen editor(file);
    ASSERT_TRUE(editor.held());
    const HostRun run = Run({"format", "-i", "f.txt"});
    ExpectFailureWithReason(run, 3, "cannot write 'f.txt': ");
  }
  EXPECT_TRUE(ReadOnly(file));
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadBytes(file), "#goto=a\r\n");
  EXPECT_EQ(FolderNames(Folder()), std::vector<std::string>{"f.txt"});
}

TEST_F(HostTest, FormatInPlaceKeepsAFileReadOnly) {
  // Windows refuses to rename onto a read-only file, Wine does not: either
  // way the file stays read-only, whole, and alone.
  const fs::path file = File("f.txt", "#goto=a\n");
  ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
  const HostRun run = Run({"format", "-i", "f.txt"});
  EXPECT_TRUE(ReadOnly(file));
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (run.exitCode == 0) {
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadBytes(file), "#GOTO =\"a\"\n");
  } else {
    ExpectFailureWithReason(run, 3, "cannot write 'f.txt': ");
    EXPECT_EQ(ReadBytes(file), "#goto=a\n");
  }
  EXPECT_EQ(FolderNames(Folder()), std::vector<std::string>{"f.txt"});
}

TEST_F(HostTest, FailsWhenStandardOutputCannotBeWritten) {
  if (!FullDeviceUnderWine()) {
    GTEST_SKIP() << "needs Wine's Z:\\dev\\full";
  }
  const HostRun run =
      RunProgram(kHost, {"keywords"}, {"", Folder(), "Z:\\dev\\full", {}});
  ExpectFailureWithReason(run, 3, "cannot write standard output: ");
}

} // namespace
