// End-to-end tests of lint: each kind of fault, in line order, a script
// without faults, and the checks that depend on which keywords are
// registered.
#include "HostTest.h"
#include "TestScripts.h"

#include <string>
#include <vector>

namespace {

TEST_F(HostTest, LintReportsEachKindOfFaultInLineOrder) {
  File("s.txt", kFaultyScript);
  const HostRun run = Run({"lint", "s.txt"});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(run.out, kFaultyFindings);
  EXPECT_EQ(run.err, "");
}

// A label that nothing goes to is a note, which does not fail lint.
TEST_F(HostTest, LintFindsNothingButNotesInACleanScript) {
  File("clean.txt", kCleanScript);
  const std::string note = ":1:1: note: nothing goes to label 'start'\n";
  const struct {
    std::vector<std::string> arguments;
    std::string out;
  } cases[] = {
      {{"lint", "clean.txt"}, "clean.txt" + note},
      {{"--plugin", kSayPlugin, "lint", "clean.txt", "-"},
       "clean.txt" + note + "<stdin>" + note},
      {{"lint", "-"}, ""},
  };
  for (const auto &c : cases) {
    const HostRun run =
        Run(c.arguments,
            c.out.empty() ? "#GOTO = start\n" + kCleanScript : kCleanScript);
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, "");
  }
}

TEST_F(HostTest, LintNamesEachFileAndReadsLikeFormat) {
  File("a.txt", "\xEF\xBB\xBF  #goto = nowhere\r\n#LABEL = a\n");
  const HostRun run = Run({"lint", "a.txt", "-"}, "#label=a\n#LABEL = a\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "a.txt:1:3: label 'nowhere' is not defined\n"
                     "a.txt:2:1: note: nothing goes to label 'a'\n"
                     "<stdin>:2:1: label 'a' is already defined at line 1\n"
                     "<stdin>:1:1: note: nothing goes to label 'a'\n");
}

TEST_F(HostTest, LintSaysWhenAResultMayNotFitTheBuffer) {
  File("long.txt", "#LABEL = a\n" + LongGoto(70000) + "\n#GOTO = a\n");
  const HostRun run = Run({"lint", "long.txt"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "long.txt:2:1: the plug-in gave no parse result; at 70000 "
                     "bytes the line may be too long for one to fit in "
                     "DIRECTIVE_RESULT_CAPACITY (65536 bytes)\n");
}

TEST_F(HostTest, LintGoesOnAfterAFileFailsAndFailsAtTheEnd) {
  File("s.txt", "#GOTO = x\n");
  const HostRun run = Run({"lint", "absent.txt", "s.txt"});
  ExpectFailure(run, 3, "cannot read 'absent.txt'");
  EXPECT_EQ(run.out, "s.txt:1:1: label 'x' is not defined\n");
}

// Checks run only for the keywords that are registered.
TEST_F(HostTest, LintChecksOnlyWhatRegisteredKeywordsAllow) {
  File("s.txt", kFaultyScript);
  const std::string host = LoneHost();
  // No keyword of lint's own: nothing to check.
  const HostRun say = RunProgram(
      host, {"--plugin", kSayPlugin, "lint", "s.txt"}, {"", Folder(), "", {}});
  EXPECT_EQ(say.exitCode, 0) << say.err;
  EXPECT_EQ(say.out, "");
  // #GOTO without #LABEL: nothing defines labels, so no goto is undefined,
  // but unreadable gotos and empty labels are still faults.
  const HostRun gotoOnly =
      RunProgram(host, {"--plugin", kGotoOnlyPlugin, "lint", "s.txt"},
                 {"", Folder(), "", {}});
  EXPECT_EQ(gotoOnly.exitCode, 1) << gotoOnly.err;
  EXPECT_EQ(gotoOnly.out,
            "s.txt:3:1: cannot read this #GOTO: its parse gives no properties\n"
            "s.txt:8:1: the label is empty\n");
}

TEST_F(HostTest, LintHelpShowsEachCheckWithAnExample) {
  const HostRun help = Run({"help", "lint"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(StartsWith(help.out, "Usage: directive-host lint [FILE...|-]"));
  for (const char *example :
       {"#GOTO verify", "#IF  x = y goto z", "did you mean",
        "is already defined at line", "#GOTO = \"\"", "the label is empty",
        "#GOTO = finsh", "nothing goes to label"}) {
    EXPECT_TRUE(Contains(help.out, example));
  }
  EXPECT_EQ(Run({"lint", "--help"}).out, help.out);
  EXPECT_TRUE(Contains(Run({"--help"}).out, "  lint [FILE...|-] "));
}

} // namespace
