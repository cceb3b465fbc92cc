#include "TestScripts.h"

#include "HostRun.h"

using namespace std::string_literals;

const std::string kMixedScript = "ordinary text\n"
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

const std::string kMixedFormatted = "ordinary text\n"
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

const std::string kCrLfScript =
    "#label = a\r\ntext\r\n#IF x = y goto z\r\n#GOTO b\r\n";

const std::vector<UnsafeCase> kUnsafeCases = {
    {"#GOTO x", "rewriting it as '#GOTO =\"\"' would change what it means "
                "(it has no properties)"},
    {"#LABEL2 = x", "rewriting it as '#LABEL =\"\"' would change what it "
                    "means (it has no properties)"},
    {"#IF x",
     "rewriting it as '#IF \"x\"  \"\"  \"\"' would change what it means"},
    {"#if \"a\"==\"b\" goto c", "would change what it means"},
    {"#GOTO = a\0b"s, "the line holds a NUL byte"},
};

std::string UnsafeScript(const std::string &directive) {
  return "text\n  " + directive + "\r\nmore\n";
}

const std::vector<TestScript> kBomScripts = {
    {"bom-first.txt", "\xEF\xBB\xBF#goto=a\ntext\n"},
    {"bom-indented.txt", "\xEF\xBB\xBF  #label = b\r\n#IF x = y goto b\r\n"},
    {"bom-only.txt", "\xEF\xBB\xBF"},
    {"bom-later.txt", "text\n\xEF\xBB\xBF#goto=a\n#goto=a"},
    {"bom-text.txt", "\xEF\xBB\xBFtext #goto=a\n"},
};

const std::vector<std::string> kBomFormatted = {
    "\xEF\xBB\xBF#GOTO =\"a\"\ntext\n",
    "\xEF\xBB\xBF  #LABEL =\"b\"\r\n#IF \"x\" = \"y\" goto b\r\n",
    "\xEF\xBB\xBF",
    "text\n\xEF\xBB\xBF#goto=a\n#GOTO =\"a\"",
    "\xEF\xBB\xBFtext #goto=a\n",
};

std::string LongGoto(std::size_t length) {
  const std::string start = "#GOTO = ";
  return start + std::string(length - start.size(), 'x');
}

// Each line says what lint finds in it.
const std::string kFaultyScript =
    "#LABEL = start\n"                   // 1
    "#GOTO = finish\n"                   // 2: defined later, which is fine
    "#GOTO verify\n"                     // 3: no '='
    "#IF x\r\n"                          // 4: three parts missing
    "#IF  x = y goto z\n"                // 5: doubled space
    "\t#goto = Finish\n"                 // 6: wrong case
    "#IF \"$A\" == \"b\" GOTO nowhere\n" // 7: undefined
    "#GOTO = \"\"\n"                     // 8: empty
    "  #label = start\n"                 // 9: defined twice
    "#IF a = b goto \"\"\n"              // 10: empty goto label
    "#LABEL = \"\"\n"                    // 11: empty definition
    "#Label = finish\n"                  // 12
    "#IF a = b set \"\"\n"               // 13: not a goto
    "#GOTO = \"start \"\n"               // 14: byte for byte, a near miss
    "#GOTOX = nowhere\n"                 // 15: no directive
    "text #GOTO = nowhere\n"             // 16: no directive
    "#if \"x\" = \"y\" goto START";      // 17: near miss at line 1

const std::string kFaultyFindings =
    "s.txt:3:1: cannot read this #GOTO: its parse gives no properties\n"
    "s.txt:4:1: #IF lacks its operator, second argument and action\n"
    "s.txt:5:1: #IF lacks its first argument\n"
    "s.txt:6:2: label 'Finish' is not defined; did you mean 'finish' (line "
    "12)?\n"
    "s.txt:7:1: label 'nowhere' is not defined\n"
    "s.txt:8:1: the label is empty\n"
    "s.txt:9:3: label 'start' is already defined at line 1\n"
    "s.txt:10:1: the label is empty\n"
    "s.txt:11:1: the label is empty\n"
    "s.txt:14:1: label 'start ' is not defined; did you mean 'start' (line "
    "1)?\n"
    "s.txt:17:1: label 'START' is not defined; did you mean 'start' (line "
    "1)?\n"
    "s.txt:1:1: note: nothing goes to label 'start'\n";

const std::string kCleanScript = "#LABEL = \"start\"\n"
                                 "  #if \"$DAY\" == \"Sunday\" goto full\n"
                                 "#IF $X = y GOTO done\r\n"
                                 "#goto = full\n"
                                 "#label = full\n"
                                 "#IF \"$E\" > \"0\" set \"status=bad\"\n"
                                 "#IF \"$E\" > \"0\" set \"\"\n"
                                 "#IF \"$STAGE\" == \"\" set \"v\"\n"
                                 "#GOTO =\"done\"\n"
                                 "#say\n"
                                 "#include <x>\n"
                                 "#GOTOX\n"
                                 "\n"
                                 "#LABEL = done";

std::vector<TestScript> AllScripts() {
  std::vector<TestScript> scripts = {
      {"mixed.txt", kMixedScript},
      {"dos.txt", kCrLfScript},
      {"faulty.txt", kFaultyScript},
      {"clean.txt", kCleanScript},
      {"long.txt", "text\n" + LongGoto(70000) + "\n#goto=a\n"},
      {"nightly-backup.script",
       ReadBytes(EXAMPLES_DIR "/nightly-backup.script")},
      {"release-deploy.script",
       ReadBytes(EXAMPLES_DIR "/release-deploy.script")},
      {"one.txt", "#goto=a\n"},
      {"two.txt", "#goto=b"},
      {"changed.txt", "#goto = a\r\ntext\r\n"},
      {"same.txt", "#GOTO =\"a\"\n"},
      {"link-target.txt", "#label=x\n"},
      {"dirty.txt", "text\n#goto = a\n#GOTO =\"b\"\n#GOTO x\n"},
      {"far.txt", "#goto=a\n1\n2\n3\n4\n5\n6\n7\n#goto=b\n"},
      {"near.txt", "#goto=a\n1\n2\n3\n4\n5\n6\n#goto=b\n"},
      {"last.txt", "1\n2\n3\n4\n5\n#goto=a"},
      {"context-last.txt", "#goto=a\n1\n2"},
      {"markers.txt", "--- x\n+++ y\n#goto=a\n@@ -1 +1 @@\n\\ No\n"},
      // Lines that a lone CR ends, alone and among others.
      {"mac.txt", "#label = a\rtext\r#IF x = y goto z\r#GOTO b\r"},
      {"mixed-ends.txt", "#goto=a\r\n#goto=b\rtext\n#goto=c\r"},
  };
  for (const UnsafeCase &c : kUnsafeCases) {
    scripts.push_back({"unsafe.txt", UnsafeScript(c.directive)});
  }
  scripts.insert(scripts.end(), kBomScripts.begin(), kBomScripts.end());
  return scripts;
}
