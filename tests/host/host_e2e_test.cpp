// End-to-end tests of directive-host: each runs the built program with
// arguments, standard input and files, and checks its output, its messages
// and its exit code.
#include "HostTest.h"
#include "TestScripts.h"

#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

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

TEST_F(HostTest, AKeywordRegisteredAgainIsNamedAndTheFirstRegistrationUsed) {
  // Both modules register #GOTO; the second one's assembles "#GOTO = x".
  const HostRun run =
      Run({"--plugin", kGotoOnlyPlugin, "assemble", "GOTO"}, "label=x");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "#GOTO =\"x\"\n");
  EXPECT_EQ(run.err, "directive-host: warning: '" +
                         fs::canonical(kGotoOnlyPlugin).string() +
                         "' registers #GOTO again; the #GOTO that '" +
                         DefaultPlugin() + "' registered first is used\n");
}

TEST_F(HostTest, DefaultModuleIsFoundInTheInstallLayoutOrNowhere) {
  const fs::path bin = Folder() / "bin";
  fs::create_directories(bin);
  const fs::path hostCopy = bin / fs::path(kHost).filename();
  fs::copy_file(kHost, hostCopy);
  const std::string host = hostCopy.string();
  const fs::path installed = Folder() / "lib" / "directive-plugins";

  const HostRun missing = RunProgram(host, {"keywords"});
  ExpectFailure(missing, 3,
                "no plug-in module: found no " + kModuleFile + " at '" +
                    (bin / kModuleFile).string() + "' or '" +
                    (installed / kModuleFile).string() + "'");
  EXPECT_EQ(missing.out, "");

  // A module given with --plugin is enough without a default one.
  const HostRun extraOnly =
      RunProgram(host, {"--plugin", kSayPlugin, "parse", "#say  hi "});
  EXPECT_EQ(extraOnly.exitCode, 0) << extraOnly.err;
  EXPECT_EQ(extraOnly.out, "text=hi\n");

  fs::create_directories(installed);
  fs::copy_file(DEFAULT_PLUGIN_PATH, installed / kModuleFile);
  const HostRun found = RunProgram(host, {"keywords"});
  EXPECT_EQ(found.exitCode, 0) << found.err;
  EXPECT_TRUE(StartsWith(
      found.out, "#LABEL  " + (installed / kModuleFile).string() + "\n"));
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
      // A byte-order mark, as an editor saves it, is not part of the name.
      {{"assemble", "#GOTO"}, "\xEF\xBB\xBFlabel=end\r\n", "#GOTO =\"end\"\n"},
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
  ExpectFailure(Run({"assemble", "#GOTO"}, "\xFF\xFEl\0a\0b\0"s), 3,
                "cannot read '<stdin>': it is UTF-16LE text");
}

TEST_F(HostTest, AssembleSaysWhenAResultMayNotFitTheBuffer) {
  const HostRun run =
      Run({"assemble", "#GOTO"}, "label=" + std::string(70000, 'x'));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "\n");
  EXPECT_EQ(run.err, "directive-host: warning: the plug-in gave no directive; "
                     "at 70006 bytes the property text may be too long for "
                     "one to fit in DIRECTIVE_RESULT_CAPACITY (65536 bytes)\n");
}

// --- format ---------------------------------------------------------------

TEST_F(HostTest, FormatRewritesDirectiveLinesAndNothingElse) {
  const std::string &script = kMixedScript;
  const std::string &formatted = kMixedFormatted;
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
  File("dos.txt", kCrLfScript);
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

TEST_F(HostTest, FormatLeavesLinesWhoseRewriteWouldReadDifferently) {
  for (const UnsafeCase &c : kUnsafeCases) {
    const std::string script = UnsafeScript(c.directive);
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

TEST_F(HostTest, FormatGoesOnAfterAFileFailsAndFailsAtTheEnd) {
  const fs::path good = File("good.txt", "#goto=a\n");
  const HostRun run = Run({"format", "-i", "absent.txt", "good.txt"});
  ExpectFailure(run, 3, "cannot read 'absent.txt': No such file or directory");
  EXPECT_EQ(ReadBytes(good), "#GOTO =\"a\"\n");
}

// --- modules --------------------------------------------------------------

TEST_F(HostTest, NamesTheModuleThatCannotBeUsed) {
  File("notes.txt", "not a module\n");
  const struct {
    std::string path;
    std::string message;
  } cases[] = {
      {"absent" + fs::path(kModuleFile).extension().string(),
       "cannot load plug-in module 'absent" +
           fs::path(kModuleFile).extension().string() + "': "},
      {"notes.txt", "cannot load plug-in module 'notes.txt': "},
      {kNoAutoRegister,
       "plug-in module '" + kNoAutoRegister + "' does not export AutoRegister"},
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
      {{"format", "--diff", "--check"},
       "options '--diff' and '--check' exclude each other"},
      {{"format", "-i", "f", "--diff"},
       "options '-i' and '--diff' exclude each other"},
      {{"lint", "--diff", "f"}, "option '--diff' applies only to format"},
      {{"lint", "-i", "f"}, "option '-i' applies only to format"},
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
  // lsp's help names the installed set-up of editors, not the source tree.
  const std::string lspHelp = Run({"help", "lsp"}).out;
  EXPECT_NE(lspHelp.find("share/doc/directive-plugin/editors.md"),
            std::string::npos)
      << lspHelp;
  EXPECT_EQ(lspHelp.find("docs/"), std::string::npos) << lspHelp;
  const HostRun version = Run({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_TRUE(StartsWith(version.out, "directive-host " HOST_VERSION "\n"));
}

} // namespace
