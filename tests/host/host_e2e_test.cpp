// End-to-end tests of directive-host: each runs the built program with
// arguments, standard input and files, and checks its output, its messages
// and its exit code.
#include "HostRun.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

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

const std::string kHost = DIRECTIVE_HOST_PATH;
const std::string kSayPlugin = SAY_PLUGIN_PATH;

std::string DefaultPlugin() {
  return fs::canonical(DEFAULT_PLUGIN_PATH).string();
}

// Each test works in a fresh folder of its own.
class HostTest : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/directive-host-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = fs::canonical(pattern);
  }
  void TearDown() override { fs::remove_all(folder_); }

  HostRun Run(const std::vector<std::string> &arguments,
              const std::string &input = "") const {
    return RunProgram(kHost, arguments, {input, folder_, "", {}});
  }
  fs::path File(const std::string &name, const std::string &bytes) const {
    WriteBytes(folder_ / name, bytes);
    return folder_ / name;
  }
  const fs::path &Folder() const { return folder_; }

private:
  fs::path folder_;
};

// One line on standard error, and the exit code of a failure.
void ExpectFailure(const HostRun &run, int exitCode,
                   const std::string &fragment) {
  EXPECT_EQ(run.exitCode, exitCode) << run.err;
  EXPECT_TRUE(StartsWith(run.err, "directive-host: "));
  EXPECT_TRUE(Contains(run.err, fragment));
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}

// --- keywords -------------------------------------------------------------

TEST_F(HostTest, KeywordsListsRegistrationOrderWithTheModule) {
  const std::string plugin = DefaultPlugin();
  const HostRun run = Run({"keywords"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "#LABEL  " + plugin + "\n#GOTO   " + plugin +
                         "\n#IF     " + plugin + "\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(HostTest, PluginOptionAddsModulesAfterTheDefaultOne) {
  const std::string plugin = DefaultPlugin();
  const std::string say = fs::canonical(kSayPlugin).string();
  // Options may follow the command; the default module loaded again through
  // --plugin registers nothing twice.
  const HostRun run =
      Run({"keywords", "--plugin", kSayPlugin, "--plugin=" + plugin});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "#LABEL  " + plugin + "\n#GOTO   " + plugin +
                         "\n#IF     " + plugin + "\n#SAY    " + say +
                         "\n#FILL   " + say + "\n");
}

TEST_F(HostTest, DefaultModuleIsFoundInTheInstallLayoutOrNowhere) {
  fs::create_directories(Folder() / "bin");
  fs::copy_file(kHost, Folder() / "bin/directive-host");
  const std::string host = (Folder() / "bin/directive-host").string();

  const HostRun missing = RunProgram(host, {"keywords"});
  ExpectFailure(
      missing, 3,
      "no plug-in module: found no DirectivePlugin.so at '" +
          (Folder() / "bin/DirectivePlugin.so").string() + "' or '" +
          (Folder() / "lib/directive-plugins/DirectivePlugin.so").string() +
          "'");
  EXPECT_EQ(missing.out, "");

  // A module given with --plugin is enough without a default one.
  const HostRun extraOnly =
      RunProgram(host, {"--plugin", kSayPlugin, "parse", "#say  hi "});
  EXPECT_EQ(extraOnly.exitCode, 0) << extraOnly.err;
  EXPECT_EQ(extraOnly.out, "text=hi\n");

  const fs::path installed = Folder() / "lib/directive-plugins";
  fs::create_directories(installed);
  fs::copy_file(DEFAULT_PLUGIN_PATH, installed / "DirectivePlugin.so");
  const HostRun found = RunProgram(host, {"keywords"});
  EXPECT_EQ(found.exitCode, 0) << found.err;
  EXPECT_TRUE(StartsWith(
      found.out,
      "#LABEL  " + (installed / "DirectivePlugin.so").string() + "\n"));
}

// --- parse ----------------------------------------------------------------

struct ParseCase {
  std::string text;
  std::string out;
};

TEST_F(HostTest, ParsePrintsOnePropertyPerLine) {
  const ParseCase cases[] = {
      {R"(#IF "x" == "y" goto done)", "argument1=x\noperator===\nargument2="
                                      "y\naction=goto\nactionvalue=done\n"},
      {R"(#if "a b" = "c d" set "v w")",
       "argument1=a b\noperator==\nargument2=c d\naction=set\n"
       "actionvalue=v w\n"},
      {"#IF x", "argument1=x\noperator=\nargument2=\naction=\nactionvalue=\n"},
      {R"(#goto = "end")", "label=end\n"},
      {"#Label=start", "label=start\n"},
      {"#LABEL x", ""}, // no '=': the plug-in reads no properties
      {"#SAY   hello there ", "text=hello there\n"},
  };
  for (const ParseCase &c : cases) {
    const HostRun run = Run({"--plugin", kSayPlugin, "parse", c.text});
    EXPECT_EQ(run.exitCode, 0) << c.text << "\n" << run.err;
    EXPECT_EQ(run.out, c.out) << c.text;
  }
}

TEST_F(HostTest, ParsePassesResultsThatFillTheWholeBuffer) {
  const HostRun run = Run({"--plugin", kSayPlugin, "parse", "#FILL"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, std::string(65535, 'f') + "\n");
}

TEST_F(HostTest, ParseFailsWithoutARegisteredKeyword) {
  ExpectFailure(Run({"parse", "#FOO = x"}), 3,
                "no plug-in registered the keyword '#FOO'");
  ExpectFailure(Run({"parse", "hello #GOTO = x"}), 3,
                "'hello #GOTO = x' does not start with a keyword");
}

// --- assemble -------------------------------------------------------------

TEST_F(HostTest, AssembleReadsAnyLineBreak) {
  for (const std::string br : {"\r\n", "\n", "\r"}) {
    const std::string properties = "argument1=x" + br + "operator===" + br +
                                   "argument2=y" + br + "action=goto" + br +
                                   "actionvalue=done" + br;
    const HostRun run = Run({"assemble", "#IF"}, properties);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "#IF \"x\" == \"y\" goto done\n");
  }
}

TEST_F(HostTest, AssembleUsesTheRegisteredKeyword) {
  File("props.txt", "label=end");
  struct {
    std::vector<std::string> arguments;
    std::string input;
    std::string out;
  } const cases[] = {
      {{"assemble", "#GOTO", "props.txt"}, "", "#GOTO =\"end\"\n"},
      {{"assemble", "goto", "-"}, "LABEL=start\r\n", "#GOTO =\"start\"\n"},
      {{"assemble", "#label"}, "label= x ", "#LABEL =\" x \"\n"},
      {{"assemble", "#IF"}, "", "#IF \"\"  \"\"  \"\"\n"},
  };
  for (const auto &c : cases) {
    const HostRun run = Run(c.arguments, c.input);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, c.out) << c.arguments[1];
  }
}

TEST_F(HostTest, AssembleFailsOnUnknownKeywordOrUnreadableFile) {
  ExpectFailure(Run({"assemble", "#FOO"}, "label=x"), 3,
                "no plug-in registered the keyword '#FOO'");
  ExpectFailure(Run({"assemble", "#GOTO", "absent.txt"}), 3,
                "cannot read 'absent.txt': No such file or directory");
}

// --- format ---------------------------------------------------------------

TEST_F(HostTest, FormatRewritesDirectiveLinesAndNothingElse) {
  const std::string script = "ordinary text\n"
                             "#LABEL = \"start\"\n"
                             "  #goto=start\r\n"
                             "\t#If \"a b\"  =  \"c\"  set  "
                             "\"v w\" \n"
                             "#include <stdio.h>\n"
                             "#GOTOX = y\n"
                             "# GOTO = y\n"
                             "say #GOTO = y\n"
                             "caf\xe9 #IF\n"
                             "#LABEL = caf\xe9\n"
                             "#IF \"x\" == \"y\" goto done\n"
                             "a\0b\n"
                             "   \n"
                             "\n"
                             "#say   hi\n"
                             "#goto = last"s;
  const std::string formatted = "ordinary text\n"
                                "#LABEL =\"start\"\n"
                                "  #GOTO =\"start\"\r\n"
                                "\t#IF \"a b\" = \"c\" set "
                                "\"v w\"\n"
                                "#include <stdio.h>\n"
                                "#GOTOX = y\n"
                                "# GOTO = y\n"
                                "say #GOTO = y\n"
                                "caf\xe9 #IF\n"
                                "#LABEL =\"caf\xe9\"\n"
                                "#IF \"x\" == \"y\" goto done\n"
                                "a\0b\n"
                                "   \n"
                                "\n"
                                "#SAY hi\n"
                                "#GOTO =\"last\""s;
  File("script.txt", script);
  const HostRun run = Run({"format", "--plugin", kSayPlugin, "script.txt"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, formatted);
  EXPECT_EQ(run.err, "");
  // Standard input, named or not, formats the same way.
  EXPECT_EQ(Run({"--plugin", kSayPlugin, "format"}, script).out, formatted);
  EXPECT_EQ(Run({"--plugin", kSayPlugin, "format", "-"}, script).out,
            formatted);
}

TEST_F(HostTest, FormatKeepsCrLfFilesCrLf) {
  File("dos.txt", "#label = a\r\ntext\r\n#IF x = y goto z\r\n#GOTO b\r\n");
  const HostRun run = Run({"format", "dos.txt"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "#LABEL =\"a\"\r\ntext\r\n#IF \"x\" = \"y\" goto z\r\n"
                     "#GOTO b\r\n");
}

TEST_F(HostTest, FormatConcatenatesSeveralFiles) {
  File("one.txt", "#goto=a\n");
  File("two.txt", "#goto=b");
  const HostRun run = Run({"format", "one.txt", "two.txt"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "#GOTO =\"a\"\n#GOTO =\"b\"");
}

struct UnsafeCase {
  std::string directive;
  std::string reason;
};

TEST_F(HostTest, FormatLeavesLinesWhoseRewriteWouldReadDifferently) {
  const UnsafeCase cases[] = {
      {"#GOTO x", "rewriting it as '#GOTO =\"\"' would change what it means "
                  "(it has no properties)"},
      {"#LABEL2 = x", "rewriting it as '#LABEL =\"\"' would change what it "
                      "means (it has no properties)"},
      {"#IF x",
       "rewriting it as '#IF \"x\"  \"\"  \"\"' would change what it means"},
      {"#if \"a\"==\"b\" goto c", "would change what it means"},
      {"#GOTO = a\0b"s, "the line holds a NUL byte"},
  };
  for (const UnsafeCase &c : cases) {
    const std::string script = "text\n  " + c.directive + "\r\nmore\n";
    File("s.txt", script);
    const HostRun run = Run({"format", "s.txt"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, script);
    EXPECT_TRUE(StartsWith(run.err, "s.txt:2: warning: left as it is: "));
    EXPECT_TRUE(Contains(run.err, c.reason + "\n"));
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  }
}

TEST_F(HostTest, FormatCheckListsLinesToChangeAndWritesNothing) {
  const std::string dirty = "text\n#goto = a\n#GOTO =\"b\"\n#GOTO x\n";
  File("dirty.txt", dirty);
  File("clean.txt", "#GOTO =\"b\"\ntext\n");

  const HostRun run = Run({"format", "--check", "clean.txt", "dirty.txt"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "dirty.txt:2\ndirty.txt:4\n");
  EXPECT_TRUE(StartsWith(run.err, "dirty.txt:4: warning: left as it is: "));
  EXPECT_EQ(ReadBytes(Folder() / "dirty.txt"), dirty);

  const HostRun clean = Run({"format", "--check", "clean.txt"});
  EXPECT_EQ(clean.exitCode, 0);
  EXPECT_EQ(clean.out, "");
  EXPECT_EQ(clean.err, "");

  const HostRun input = Run({"format", "--check"}, "x\n#label=y\n");
  EXPECT_EQ(input.exitCode, 1);
  EXPECT_EQ(input.out, "<stdin>:2\n");
}

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
  std::vector<std::string> names;
  for (const auto &entry : fs::directory_iterator(Folder())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"changed.txt", "same.txt"}));
}

TEST_F(HostTest, FormatInPlaceWritesThroughSymbolicLinks) {
  const fs::path target = File("target.txt", "#label=x\n");
  fs::create_symlink("target.txt", Folder() / "link.txt");
  const HostRun run = Run({"format", "--in-place", "link.txt"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(fs::is_symlink(Folder() / "link.txt"));
  EXPECT_EQ(ReadBytes(target), "#LABEL =\"x\"\n");
}

TEST_F(HostTest, FormatGoesOnAfterAFileFailsAndFailsAtTheEnd) {
  const fs::path good = File("good.txt", "#goto=a\n");
  const HostRun run = Run({"format", "-i", "absent.txt", "good.txt"});
  ExpectFailure(run, 3, "cannot read 'absent.txt': No such file or directory");
  EXPECT_EQ(ReadBytes(good), "#GOTO =\"a\"\n");
}

TEST_F(HostTest, FormatInPlaceFailsWhereNoFileCanBeCreated) {
  // Even root cannot create files in /proc. The environment of the host,
  // which /proc/self/environ shows, holds a directive line to rewrite.
  const HostRun run = RunProgram(kHost, {"format", "-i", "/proc/self/environ"},
                                 {"", Folder(), "", {"X=1\n#goto=a\n"}});
  ExpectFailure(run, 3, "cannot write '/proc/self/environ'");
}

TEST_F(HostTest, FailsWhenStandardOutputCannotBeWritten) {
  const HostRun run =
      RunProgram(kHost, {"keywords"}, {"", Folder(), "/dev/full", {}});
  ExpectFailure(run, 3, "cannot write standard output");
}

// --- modules --------------------------------------------------------------

TEST_F(HostTest, NamesTheModuleThatCannotBeUsed) {
  File("notes.txt", "not a module\n");
  const struct {
    std::string path;
    std::string message;
  } cases[] = {
      {"absent.so", "cannot load plug-in module 'absent.so': "},
      {"notes.txt", "cannot load plug-in module 'notes.txt': "},
      {NO_AUTOREGISTER_PATH, "plug-in module '" NO_AUTOREGISTER_PATH
                             "' does not export AutoRegister"},
  };
  for (const auto &c : cases) {
    const HostRun run = Run({"--plugin", c.path, "keywords"});
    ExpectFailure(run, 3, c.message);
    EXPECT_EQ(run.out, "");
  }
}

// --- command line ---------------------------------------------------------

TEST_F(HostTest, UsageErrorsExitWithTwo) {
  const struct {
    std::vector<std::string> arguments;
    std::string message;
  } cases[] = {
      {{}, "no command given"},
      {{"frob"}, "unknown command 'frob'"},
      {{"keywords", "--frob"}, "unknown option '--frob'"},
      {{"keywords", "--plugin"}, "option '--plugin' needs a PATH"},
      {{"parse"}, "missing argument; usage: directive-host parse TEXT"},
      {{"parse", "#GOTO=a", "b"}, "too many arguments"},
      {{"assemble"}, "missing argument"},
      {{"assemble", "#GOTO", "a", "b"}, "too many arguments"},
      {{"keywords", "x"}, "too many arguments"},
      {{"parse", "--check", "#GOTO=a"}, "'--check' applies only to format"},
      {{"format", "--check", "-i", "f"}, "exclude each other"},
      {{"format", "-i"}, "'-i' needs FILE arguments"},
      {{"format", "-i", "-"}, "cannot rewrite standard input"},
      {{"help", "frob"}, "unknown command 'frob'"},
  };
  for (const auto &c : cases) {
    const HostRun run = Run(c.arguments);
    ExpectFailure(run, 2, c.message);
    EXPECT_EQ(run.out, "");
  }
}

TEST_F(HostTest, HelpAndVersion) {
  const HostRun help = Run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(StartsWith(help.out, "Usage: directive-host [--plugin PATH]"));
  const HostRun formatHelp = Run({"help", "format"});
  EXPECT_EQ(formatHelp.exitCode, 0);
  EXPECT_TRUE(StartsWith(formatHelp.out, "Usage: directive-host format"));
  // --help needs no plug-in and ignores the command's missing arguments.
  EXPECT_EQ(Run({"format", "--help", "--plugin", "absent.so"}).out,
            formatHelp.out);
  const HostRun version = Run({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_TRUE(StartsWith(version.out, "directive-host " HOST_VERSION "\n"));
}

} // namespace
