// End-to-end tests of how directive-host meets the system: arguments as they
// reach it, file names beyond ASCII, paths longer than Windows' MAX_PATH, how
// -i replaces a file, and the failures of reading. Each holds on every
// platform; the file names are bytes in the system's narrow encoding (on
// Windows code page 1252).
#include "HostTest.h"
#include "TestScripts.h"

#include <string>
#include <vector>

namespace {

// --- arguments ------------------------------------------------------------

TEST_F(HostTest, ArgumentsReachTheProgramAsTheyAreGiven) {
  // Windows passes one command line, which the program's runtime splits:
  // spaces, quotes and backslashes before quotes must survive the quoting.
  const std::string arguments[] = {"plain",
                                   "two words",
                                   "",
                                   " ",
                                   "\"",
                                   "\"quoted\"",
                                   "a\"b",
                                   "\\",
                                   "a\\b",
                                   "trailing\\",
                                   "trailing\\\\",
                                   "a\\\"b",
                                   "a\\\\\"b",
                                   "\\\" two \\\\\"",
                                   "space and backslash \\",
                                   "tab\there",
                                   "line\nbreak",
                                   "-x",
                                   "caf\xe9 \x8cuvre \xdc"};
  for (const std::string &argument : arguments) {
    // "help" names its operand in the message, byte for byte.
    const HostRun run = Run({"help", "--", argument});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "directive-host: unknown command '" + argument +
                           "' (see 'directive-host --help')\n");
  }
}

TEST_F(HostTest, RunsFromAFolderWithSpacesAndLettersBeyondAscii) {
  const std::string folder =
      Folder().string() + kSeparator + "bin caf\xe9 \x8c";
  fs::create_directory(NativePath(folder));
  const std::string host =
      folder + kSeparator + fs::path(kHost).filename().string();
  const std::string module = folder + kSeparator + kModuleFile;
  fs::copy_file(kHost, NativePath(host));
  fs::copy_file(DEFAULT_PLUGIN_PATH, NativePath(module));
  const HostRun run = RunProgram(host, {"keywords"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "#LABEL  " + module + "\n#GOTO   " + module +
                         "\n#IF     " + module + "\n");
}

// --- names beyond ASCII ---------------------------------------------------

TEST_F(HostTest, FilesWithLettersBeyondAsciiAreReadAndReplaced) {
  // Über ž / café Œuvre.txt: letters of code page 1252 from both its halves.
  const std::string folder = "\xdc"
                             "ber \x9e";
  const std::string name = "caf\xe9 \x8cuvre.txt";
  const std::string file = folder + kSeparator + name;
  fs::create_directory(Folder() / NativePath(folder));
  WriteBytes(Folder() / NativePath(file), "#goto = a\r\ntext\r\n#GOTO x\n");

  const HostRun formatted = Run({"format", file});
  EXPECT_EQ(formatted.exitCode, 0) << formatted.err;
  EXPECT_EQ(formatted.out, "#GOTO =\"a\"\r\ntext\r\n#GOTO x\n");
  EXPECT_TRUE(StartsWith(formatted.err, file + ":3: warning: left as it is"));

  const HostRun lint = Run({"lint", file});
  EXPECT_EQ(lint.exitCode, 1);
  EXPECT_EQ(lint.out, file + ":1:1: label 'a' is not defined\n" + file +
                          ":3:1: cannot read this #GOTO: its parse gives no "
                          "properties\n");

  const HostRun inPlace = Run({"format", "-i", file});
  EXPECT_EQ(inPlace.exitCode, 0) << inPlace.err;
  EXPECT_EQ(ReadBytes(Folder() / NativePath(file)),
            "#GOTO =\"a\"\r\ntext\r\n#GOTO x\n");
  EXPECT_EQ(FolderNames(Folder() / NativePath(folder)),
            std::vector<std::string>{name});
}

TEST_F(HostTest, ModulesWithLettersBeyondAsciiLoad) {
  const std::string folder = "\xdc"
                             "ber \x9e";
  const std::string module = folder + kSeparator + "Say\xe9" +
                             fs::path(kSayPlugin).extension().string();
  fs::create_directory(Folder() / NativePath(folder));
  fs::copy_file(kSayPlugin, Folder() / NativePath(module));
  const HostRun run = Run({"--plugin", module, "keywords"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "#SAY    " + Folder().string() + kSeparator +
                                    module + "\n"));
}

// --- long paths -----------------------------------------------------------

// A folder in the test's own whose path is far longer than MAX_PATH (260),
// the limit of Windows' ANSI file calls, made of five names of 60 letters.
std::string LongFolder(const fs::path &base) {
  std::string folder = base.string();
  for (const char letter : {'a', 'b', 'c', 'd', 'e'}) {
    folder += kSeparator + std::string(60, letter);
  }
  fs::create_directories(NativePath(folder));
  return folder;
}

TEST_F(HostTest, ReadsAndReplacesFilesOnPathsLongerThanMaxPath) {
  const std::string folder = LongFolder(Folder());
  const std::string file = folder + kSeparator + "dos.txt";
  ASSERT_GT(file.size(), 300u);
  WriteBytes(NativePath(file), kCrLfScript);
  const std::string formatted =
      "#LABEL =\"a\"\r\ntext\r\n#IF \"x\" = \"y\" goto z\r\n#GOTO b\r\n";

  const HostRun format = Run({"format", file});
  EXPECT_EQ(format.exitCode, 0) << format.err;
  EXPECT_EQ(format.out, formatted);
  const HostRun lint = Run({"lint", file});
  EXPECT_EQ(lint.exitCode, 1) << lint.err;
  EXPECT_TRUE(StartsWith(lint.out, file + ":3:1: label 'z' is not defined\n"));

  const HostRun inPlace = Run({"format", "-i", file});
  EXPECT_EQ(inPlace.exitCode, 0) << inPlace.err;
  EXPECT_EQ(ReadBytes(NativePath(file)), formatted);
  EXPECT_EQ(FolderNames(NativePath(folder)),
            std::vector<std::string>{"dos.txt"});
}

TEST_F(HostTest, LoadsModulesOnPathsLongerThanMaxPath) {
  const std::string module = LongFolder(Folder()) + kSeparator +
                             fs::path(kSayPlugin).filename().string();
  fs::copy_file(kSayPlugin, NativePath(module));
  const HostRun run = Run({"--plugin", module, "parse", "#SAY hi"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "text=hi\n");
}

// --- format -i ------------------------------------------------------------

TEST_F(HostTest, FormatInPlaceReplacesChangedFilesAndKeepsHardLinksWhole) {
  const fs::path changed = File("changed.txt", "#goto = a\r\ntext\r\n");
  const fs::path linked = File("linked.txt", "#goto = b\n");
  const fs::path same = File("same.txt", "#GOTO =\"a\"\n");
  // A new file renamed into place would part a file from its other names,
  // which would keep the old text: such a file is left as it is, unless it
  // needs no change.
  fs::create_hard_link(linked, Folder() / "linked-2.txt");
  fs::create_hard_link(same, Folder() / "same-2.txt");
  const fs::file_time_type sameTime = fs::last_write_time(same);

  const HostRun run =
      Run({"format", "-i", "changed.txt", "linked.txt", "same.txt"});
  ExpectFailure(run, 3,
                "cannot rewrite 'linked.txt': it has 2 names (hard links), "
                "which a new file in its place would part; left as it is");
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(ReadBytes(changed), "#GOTO =\"a\"\r\ntext\r\n");
  EXPECT_EQ(ReadBytes(linked), "#goto = b\n");
  WriteBytes(linked, "linked"); // both names still show one file
  EXPECT_EQ(ReadBytes(Folder() / "linked-2.txt"), "linked");
  EXPECT_EQ(fs::last_write_time(same), sameTime);
  // No temporary file is left behind.
  EXPECT_EQ(FolderNames(Folder()),
            (std::vector<std::string>{"changed.txt", "linked-2.txt",
                                      "linked.txt", "same-2.txt", "same.txt"}));
}

// --- failures of reading --------------------------------------------------

TEST_F(HostTest, AFolderGivenAsAFileFailsAndTheOtherFilesAreHandled) {
  fs::create_directory(Folder() / "sub");
  const fs::path file = File("s.txt", "#goto=a\n");
  const std::vector<std::string> commands[] = {
      {"format", "sub", "s.txt"},
      {"format", "--check", "sub", "s.txt"},
      {"lint", "sub", "s.txt"},
      {"format", "-i", "sub", "s.txt"},
  };
  for (const std::vector<std::string> &arguments : commands) {
    ExpectFailureWithReason(Run(arguments), 3, "cannot read 'sub': ");
  }
  EXPECT_EQ(ReadBytes(file), "#GOTO =\"a\"\n");
}

} // namespace
