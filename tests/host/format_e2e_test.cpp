// End-to-end tests of what format does beyond rewriting lines: --diff, the
// byte-order mark, and directives too long for the plug-in's result buffer.
#include "HostTest.h"
#include "TestScripts.h"

#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

// --- --diff -----------------------------------------------------------------

TEST_F(HostTest, FormatDiffShowsEachChangedFileAndExitsWithOne) {
  File("changed.txt", "#label = a\r\n1\n2\n3\n4\n5\n6\n7\n#goto=a");
  File("same.txt", "#GOTO =\"a\"\n");
  File("unsafe.txt", UnsafeScript("#GOTO x"));
  const HostRun run =
      Run({"format", "--diff", "same.txt", "changed.txt", "unsafe.txt"});
  EXPECT_EQ(run.exitCode, 1);
  // Two hunks: seven unchanged lines keep their contexts apart.
  EXPECT_EQ(run.out, "--- changed.txt\n"
                     "+++ changed.txt\n"
                     "@@ -1,4 +1,4 @@\n"
                     "-#label = a\r\n"
                     "+#LABEL =\"a\"\r\n"
                     " 1\n"
                     " 2\n"
                     " 3\n"
                     "@@ -6,4 +6,4 @@\n"
                     " 5\n"
                     " 6\n"
                     " 7\n"
                     "-#goto=a\n"
                     "\\ No newline at end of file\n"
                     "+#GOTO =\"a\"\n"
                     "\\ No newline at end of file\n");
  // Warnings stay on standard error.
  EXPECT_TRUE(StartsWith(run.err, "unsafe.txt:2: warning: left as it is: "));
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}

TEST_F(HostTest, FormatDiffOfFilesThatStayTheSameIsEmpty) {
  File("same.txt", "#GOTO =\"a\"\n");
  File("unsafe.txt", UnsafeScript("#GOTO x"));
  // A line left as it is changes nothing, so it counts for --check only.
  const HostRun run = Run({"format", "--diff", "same.txt", "unsafe.txt"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_TRUE(StartsWith(run.err, "unsafe.txt:2: warning: "));
  const HostRun input = Run({"format", "--diff", "-"}, "#goto=a\n");
  EXPECT_EQ(input.exitCode, 1);
  EXPECT_EQ(input.out, "--- <stdin>\n+++ <stdin>\n@@ -1 +1 @@\n-#goto=a\n"
                       "+#GOTO =\"a\"\n");
}

TEST_F(HostTest, FormatDiffReportsAFailureAfterTheOtherFiles) {
  File("changed.txt", "#goto=a\n");
  const HostRun run = Run({"format", "--diff", "absent.txt", "changed.txt"});
  ExpectFailure(run, 3, "cannot read 'absent.txt'");
  EXPECT_TRUE(StartsWith(run.out, "--- changed.txt\n"));
}

// --- byte-order mark ------------------------------------------------------

TEST_F(HostTest, FormatKeepsAByteOrderMarkAndReadsTheFirstLineAfterIt) {
  ASSERT_EQ(kBomScripts.size(), kBomFormatted.size());
  for (std::size_t i = 0; i < kBomScripts.size(); ++i) {
    const TestScript &script = kBomScripts[i];
    File(script.name, script.bytes);
    const HostRun run = Run({"format", script.name});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, kBomFormatted[i]) << script.name;
    EXPECT_EQ(run.err, "") << script.name;
  }
  const HostRun check = Run({"format", "--check", "bom-first.txt"});
  EXPECT_EQ(check.exitCode, 1);
  EXPECT_EQ(check.out, "bom-first.txt:1\n");
  // The mark belongs to the first line of the diff, as patch needs it.
  const HostRun diff = Run({"format", "--diff", "bom-first.txt"});
  EXPECT_TRUE(Contains(diff.out, "\n-\xEF\xBB\xBF#goto=a\n+\xEF\xBB\xBF#GOTO"));
}

TEST_F(HostTest, FormatInPlaceKeepsAByteOrderMark) {
  const fs::path file = File("bom.txt", "\xEF\xBB\xBF#goto = a\r\n");
  const HostRun run = Run({"format", "-i", "bom.txt"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadBytes(file), "\xEF\xBB\xBF#GOTO =\"a\"\r\n");
}

// --- text in other encodings ---------------------------------------------

TEST_F(HostTest, WideTextIsNamedAndLeftAsItIsAndTheOtherFilesHandled) {
  const struct {
    std::string encoding;
    std::string bytes;
  } files[] = {
      {"UTF-16LE", "\xFF\xFE#\0g\0o\0t\0o\0=\0a\0\n\0"s},
      {"UTF-16BE", "\0#\0g\0o\0t\0o\0=\0a\0\n"s},
      {"UTF-32LE", "\xFF\xFE\0\0#\0\0\0g\0\0\0"s},
  };
  const std::vector<std::string> commands[] = {
      {"format"}, {"format", "--check"}, {"format", "--diff"}, {"format", "-i"},
      {"lint"},
  };
  for (const auto &file : files) {
    SCOPED_TRACE(file.encoding);
    const fs::path wide = File("wide.txt", file.bytes);
    const fs::path other = File("s.txt", "#goto=a\n");
    for (std::vector<std::string> arguments : commands) {
      arguments.insert(arguments.end(), {"wide.txt", "s.txt"});
      const HostRun run = Run(arguments);
      ExpectFailure(run, 3,
                    "cannot read 'wide.txt': it is " + file.encoding +
                        " text, and directive-host reads only 8-bit text "
                        "(UTF-8 or the ANSI code page); left as it is");
      EXPECT_EQ(ReadBytes(wide), file.bytes);
      // The file after it was handled.
      EXPECT_EQ(run.out.empty(), arguments[1] == "-i") << arguments[1];
    }
    EXPECT_EQ(ReadBytes(other), "#GOTO =\"a\"\n");
  }
}

// --- directives too long for the result buffer ------------------------------

TEST_F(HostTest, FormatSaysWhenAResultMayNotFitTheBuffer) {
  const std::string longIf = "#IF a = b goto " + std::string(69985, 'y');
  const struct {
    std::string directive;
    std::string message;
  } cases[] = {
      {LongGoto(70000),
       "the plug-in gave no parse result; at 70002 bytes the line may be too "
       "long for one to fit in DIRECTIVE_RESULT_CAPACITY (65536 bytes)"},
      {longIf, "the plug-in gave no parse result; at 70002 bytes"},
      // Its properties fit, but not its rewrite with the quotes added.
      {"#GOTO=" + std::string(65528, 'x'),
       "the plug-in gave no rewrite; at 65536 bytes the line may be too long "
       "for one to fit in DIRECTIVE_RESULT_CAPACITY (65536 bytes)"},
      // The shortest directive whose empty result is put down to its length;
      // one byte less and it is taken to have no properties.
      {"#GOTO " + std::string(64506, 'x'),
       "the plug-in gave no parse result; at 64514 bytes"},
      {"#GOTO " + std::string(64505, 'x'),
       "would change what it means (it has no properties)"},
  };
  for (const auto &c : cases) {
    const std::string script = "text\n  " + c.directive + "\n#goto=a\n";
    File("s.txt", script);
    const HostRun run = Run({"format", "s.txt"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "text\n  " + c.directive + "\n#GOTO =\"a\"\n");
    EXPECT_TRUE(StartsWith(run.err, "s.txt:2: warning: left as it is: "))
        << run.err.substr(0, 200);
    EXPECT_TRUE(Contains(run.err, c.message))
        << run.err.substr(run.err.size() > 300 ? run.err.size() - 300 : 0);
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1);
  }
}

} // namespace
