// End-to-end tests of directive-host that rest on POSIX: file modes and
// inode numbers, symbolic links, folders made unwritable, /proc and
// /dev/full, a preloaded library that records system calls, and running
// patch(1). A port of the suite to Windows leaves this file out or gives
// each case a Windows counterpart.
#include "HostTest.h"
#include "TestScripts.h"

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The full path of the program `name` found on PATH, or "" when there is
// none.
std::string FindOnPath(const std::string &name) {
  const char *path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) {
      end = folders.size();
    }
    const fs::path candidate =
        fs::path(folders.substr(start, end - start)) / name;
    if (access(candidate.c_str(), X_OK) == 0) {
      return candidate.string();
    }
    start = end + 1;
  }
  return {};
}

std::vector<std::string> Lines(const std::string &text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    start = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

// Runs format -i f.txt in `folder` with the library that records (or
// interrupts) its fsync and rename calls preloaded, as `setting` asks.
HostRun RunRecorded(const fs::path &folder, const std::string &setting) {
  // The sanitizers' runtime would otherwise insist on being loaded first.
  return RunProgram(kHost, {"format", "-i", "f.txt"},
                    {"",
                     folder,
                     "",
                     {"LD_PRELOAD=" + std::string(SYNC_RECORDER_PATH), setting,
                      "ASAN_OPTIONS=verify_asan_link_order=0"}});
}

// --- format --diff applied with patch ---------------------------------------

TEST_F(HostTest, PatchTurnsEveryScriptIntoItsFormattedForm) {
  const std::string patch = FindOnPath("patch");
  ASSERT_FALSE(patch.empty()) << "these tests need patch(1) on PATH";
  for (const TestScript &script : AllScripts()) {
    SCOPED_TRACE(script.name);
    ASSERT_FALSE(script.bytes.empty());
    File(script.name, script.bytes);
    const HostRun formatted =
        Run({"--plugin", kSayPlugin, "format", script.name});
    ASSERT_EQ(formatted.exitCode, 0) << formatted.err;
    const HostRun diff =
        Run({"--plugin", kSayPlugin, "format", "--diff", script.name});
    EXPECT_EQ(diff.err, formatted.err); // the same warnings, nothing more
    if (formatted.out == script.bytes) {
      EXPECT_EQ(diff.exitCode, 0);
      EXPECT_EQ(diff.out, "");
      continue;
    }
    EXPECT_EQ(diff.exitCode, 1);
    File("changes.diff", diff.out);
    const HostRun applied = RunProgram(
        patch, {"-s", script.name, "changes.diff"}, {"", Folder(), "", {}});
    EXPECT_EQ(applied.exitCode, 0) << applied.out << applied.err;
    EXPECT_EQ(ReadBytes(Folder() / script.name), formatted.out);
    // The same diff, fed from standard input, names it <stdin>, and patch
    // applies it to the file it is given.
    File(script.name, script.bytes);
    const HostRun piped =
        Run({"--plugin", kSayPlugin, "format", "--diff"}, script.bytes);
    EXPECT_EQ(piped.exitCode, 1);
    EXPECT_TRUE(StartsWith(piped.out, "--- <stdin>\n+++ <stdin>\n@@ "));
    File("piped.diff", piped.out);
    const HostRun appliedPiped = RunProgram(
        patch, {"-s", script.name, "piped.diff"}, {"", Folder(), "", {}});
    EXPECT_EQ(appliedPiped.exitCode, 0) << appliedPiped.err;
    EXPECT_EQ(ReadBytes(Folder() / script.name), formatted.out);
    fs::remove(Folder() / script.name);
  }
}

// --- format -i ------------------------------------------------------------

TEST_F(HostTest, FormatInPlaceRewritesOnlyFilesThatChange) {
  const fs::path changed = File("changed.txt", "#goto = a\r\ntext\r\n");
  const fs::path same = File("same.txt", "#GOTO =\"a\"\n");
  fs::permissions(changed, fs::perms::owner_read | fs::perms::owner_write |
                               fs::perms::group_read);
  struct stat changedBefore {};
  struct stat before {};
  ASSERT_EQ(stat(changed.c_str(), &changedBefore), 0);
  ASSERT_EQ(stat(same.c_str(), &before), 0);

  const HostRun run = Run({"format", "-i", "changed.txt", "same.txt"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(ReadBytes(changed), "#GOTO =\"a\"\r\ntext\r\n");
  EXPECT_EQ(fs::status(changed).permissions(), fs::perms::owner_read |
                                                   fs::perms::owner_write |
                                                   fs::perms::group_read);
  // The new contents came in by a rename, as a new file; the file without
  // changes was not touched.
  struct stat changedAfter {};
  ASSERT_EQ(stat(changed.c_str(), &changedAfter), 0);
  EXPECT_NE(changedAfter.st_ino, changedBefore.st_ino);
  struct stat after {};
  ASSERT_EQ(stat(same.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  // No temporary file is left behind.
  EXPECT_EQ(FolderNames(Folder()),
            (std::vector<std::string>{"changed.txt", "same.txt"}));
}

TEST_F(HostTest, FormatInPlaceWritesThroughSymbolicLinks) {
  const fs::path target = File("target.txt", "#label=x\n");
  fs::create_symlink("target.txt", Folder() / "link.txt");
  const HostRun run = Run({"format", "--in-place", "link.txt"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(fs::is_symlink(Folder() / "link.txt"));
  EXPECT_EQ(ReadBytes(target), "#LABEL =\"x\"\n");
}

TEST_F(HostTest, FormatInPlaceFailsWhereNoFileCanBeCreated) {
  // Even root cannot create files in /proc. The environment of the host,
  // which /proc/self/environ shows, holds a directive line to rewrite.
  const HostRun run = RunProgram(kHost, {"format", "-i", "/proc/self/environ"},
                                 {"", Folder(), "", {"X=1\n#goto=a\n"}});
  ExpectFailure(run, 3, "cannot write '/proc/self/environ'");
}

TEST_F(HostTest,
       FormatInPlaceFlushesTheNewFileBeforeTheRenameAndTheFolderAfter) {
  File("f.txt", "#goto=a\n");
  const fs::path record = Folder() / "calls.txt";
  const HostRun run = RunRecorded(Folder(), "SYNC_RECORD=" + record.string());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadBytes(Folder() / "f.txt"), "#GOTO =\"a\"\n");
  const std::vector<std::string> calls = Lines(ReadBytes(record));
  ASSERT_EQ(calls.size(), 3u) << ReadBytes(record);
  // fsync of the temporary file, its rename over f.txt, fsync of the folder.
  const std::string prefix =
      "fsync " + (Folder() / ".directive-host-").string();
  ASSERT_TRUE(StartsWith(calls[0], prefix));
  const std::string temporary = calls[0].substr(prefix.size());
  EXPECT_EQ(calls[1], "rename ./.directive-host-" + temporary + " f.txt");
  EXPECT_EQ(calls[2], "fsync " + Folder().string());
}

TEST_F(HostTest, FormatInPlaceRemovesItsTemporaryFileWhenInterrupted) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    const fs::path file = File("f.txt", "#goto=a\n");
    // The signal comes while the new file is flushed, before the rename.
    const HostRun run =
        RunRecorded(Folder(), "SYNC_RAISE=" + std::to_string(signal));
    // It ends as the signal ends it, with the file as it was, alone.
    EXPECT_EQ(run.exitCode, 128 + signal) << run.err;
    EXPECT_EQ(ReadBytes(file), "#goto=a\n");
    EXPECT_EQ(FolderNames(Folder()), std::vector<std::string>{"f.txt"});
  }
}

TEST_F(HostTest, FormatInPlaceLeavesAFileInAnUnwritableFolderAsItWas) {
  const fs::path locked = Folder() / "locked";
  fs::create_directory(locked);
  WriteBytes(locked / "f.txt", "#goto=a\n");
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec |
                              fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
  std::string program = kHost;
  std::vector<std::string> arguments = {"format", "-i", "locked/f.txt"};
  if (geteuid() == 0) {
    // Root writes into any folder through its capabilities; without them it
    // is held to the folder's mode, as its owner. It stays root, so that it
    // can still reach the program and the test's folder wherever they lie.
    program = FindOnPath("setpriv");
    ASSERT_FALSE(program.empty()) << "running as root needs setpriv(1)";
    arguments.insert(arguments.begin(),
                     {"--inh-caps=-all", "--bounding-set=-all", "--", kHost});
  }
  const HostRun run = RunProgram(program, arguments, {"", Folder(), "", {}});
  fs::permissions(locked, fs::perms::owner_all, fs::perm_options::add);
  ExpectFailure(run, 3,
                "cannot write 'locked/f.txt': cannot create a file in "
                "'locked': Permission denied");
  EXPECT_EQ(ReadBytes(locked / "f.txt"), "#goto=a\n");
  EXPECT_EQ(FolderNames(locked), std::vector<std::string>{"f.txt"});
}

// --- parse ----------------------------------------------------------------

// A command line on Windows is too short to carry a directive this long.
TEST_F(HostTest, ParseSaysWhenAResultMayNotFitTheBuffer) {
  const HostRun run = Run({"parse", LongGoto(70000)});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "directive-host: warning: the plug-in gave no parse "
                     "result; at 70000 bytes the text may be too long for one "
                     "to fit in DIRECTIVE_RESULT_CAPACITY (65536 bytes)\n");
}

// --- standard output ------------------------------------------------------

TEST_F(HostTest, FailsWhenStandardOutputCannotBeWritten) {
  const HostRun run =
      RunProgram(kHost, {"keywords"}, {"", Folder(), "/dev/full", {}});
  ExpectFailure(run, 3, "cannot write standard output");
}

} // namespace
