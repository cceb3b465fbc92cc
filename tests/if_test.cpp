// The "#IF" callbacks, driven through the loaded module.
#include "hosts/PluginFixture.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

class If : public PluginFixture {};

// The property text of `lines`, each followed by CR LF.
std::string Text(const std::vector<std::string> &lines) {
  std::string text;
  for (const std::string &line : lines) {
    text += line + "\r\n";
  }
  return text;
}

struct ParseCase {
  std::string text;
  std::vector<std::string> lines;
};

TEST_F(If, ParseSplitsTheDirectiveIntoFiveProperties) {
  const ParseCase cases[] = {
      {"#IF \"x\" == \"y\" goto done",
       {"argument1=x", "operator===", "argument2=y", "action=goto",
        "actionvalue=done"}},
      {"#IF \"a b\" = \"c d\" set \"v w\"",
       {"argument1=a b", "operator==", "argument2=c d", "action=set",
        "actionvalue=v w"}},
      {"#IF a <> b goto \"end\"",
       {"argument1=a", "operator=<>", "argument2=b", "action=goto",
        "actionvalue=end"}},
      {"#IF x",
       {"argument1=x", "operator=", "argument2=", "action=", "actionvalue="}},
      {"#if x = y goto z",
       {"argument1=x", "operator==", "argument2=y", "action=goto",
        "actionvalue=z"}},
      {"ABCDx = y goto z",
       {"argument1=x", "operator==", "argument2=y", "action=goto",
        "actionvalue=z"}},
      {"#IF ", {"operator=", "argument2=", "action=", "actionvalue="}},
      {"#IF", {"operator=", "argument2=", "action=", "actionvalue="}},
      {"", {"operator=", "argument2=", "action=", "actionvalue="}},
      {"#I", {"operator=", "argument2=", "action=", "actionvalue="}},
      {"#IF  x = y goto z",
       {"operator=x", "argument2==", "action=y", "actionvalue=goto z"}},
      {"#IF \"x\"==\"y\" goto done",
       {"argument1=x", "operator===\"y", "argument2=goto", "action=done",
        "actionvalue="}},
      {"#IF a<>b goto \"end\"",
       {"argument1=a<>b", "operator=goto", "argument2=end",
        "action=", "actionvalue="}},
      {"#IF x = y \"goto\" z",
       {"argument1=x", "operator==", "argument2=y", "actionvalue=goto\" z"}},
      // Tabs and other control characters separate tokens like spaces.
      {"#IF\tx\t=\ty\tgoto\tz",
       {"argument1=x", "operator==", "argument2=y", "action=goto",
        "actionvalue=z"}},
      {"#IF x\x01\x1f=\r\ny\n\ngoto\x0bz\x1f",
       {"argument1=x", "operator==", "argument2=y", "action=goto",
        "actionvalue=z"}},
      // Quoting: whitespace inside quotes belongs to the token.
      {"#IF \"a\tb\" = c d e",
       {"argument1=a\tb", "operator==", "argument2=c", "action=d",
        "actionvalue=e"}},
      {"#IF ab\"c d\"ef = g h i",
       {"argument1=ab\"c d", "operator=ef", "argument2==", "action=g",
        "actionvalue=h i"}},
      {"#IF \"unterminated = y goto z",
       {"argument1=unterminated = y goto z",
        "operator=", "argument2=", "action=", "actionvalue="}},
      {"#IF x = \"unterminated goto z",
       {"argument1=x", "operator==", "argument2=unterminated goto z",
        "action=", "actionvalue="}},
      {"#IF \"\" = \"\" goto z",
       {"operator==", "action=goto", "actionvalue=z"}},
      {"#IF x == \"\" goto z",
       {"argument1=x", "operator===", "action=goto", "actionvalue=z"}},
      // The operator run is codes 33 to 127; the action letters and digits.
      {"#IF x \x7f= y go2 z",
       {"argument1=x", "operator=\x7f=", "argument2=y", "action=go2",
        "actionvalue=z"}},
      {"#IF x \x80= y goto z",
       {"argument1=x", "argument2=\x80=", "action=y", "actionvalue=goto z"}},
      {"#IF x = y go-to z",
       {"argument1=x", "operator==", "argument2=y", "action=go",
        "actionvalue=-to z"}},
      // Bytes of 0x80 and above pass through.
      {"#IF \"\xe9t\xe9\" = \xff goto \x80\x81",
       {"argument1=\xe9t\xe9", "operator==", "argument2=\xff", "action=goto",
        "actionvalue=\x80\x81"}},
      // The action value is the rest of the text, trimmed and unquoted once.
      {"#IF x = y set  \"a \"b\"  ",
       {"argument1=x", "operator==", "argument2=y", "action=set",
        "actionvalue=a \"b"}},
      {"#IF x = y set a\r\nb",
       {"argument1=x", "operator==", "argument2=y", "action=set",
        "actionvalue=a\r\nb"}},
      {"#IF x = y goto   ",
       {"argument1=x", "operator==", "argument2=y", "action=goto",
        "actionvalue="}},
  };
  for (const ParseCase &c : cases) {
    EXPECT_EQ(Plugin().Parse("#IF", c.text.c_str()), Text(c.lines)) << c.text;
  }
}

struct AssembleCase {
  std::string keyword;
  std::string properties;
  std::string out;
};

const std::string kGotoDone =
    "argument1=x\r\noperator===\r\nargument2=y\r\naction=goto\r\n"
    "actionvalue=done\r\n";

TEST_F(If, AssembleQuotesTheArgumentsAndNonGotoValues) {
  const AssembleCase cases[] = {
      {"#IF", kGotoDone, "#IF \"x\" == \"y\" goto done"},
      {"#IF",
       "argument1=x\r\noperator===\r\nargument2=y\r\naction=GOTO\r\n"
       "actionvalue=done",
       "#IF \"x\" == \"y\" GOTO done"},
      {"#IF",
       "argument1=x\noperator===\nargument2=y\naction=GoTo\nactionvalue=done",
       "#IF \"x\" == \"y\" GoTo done"},
      {"#IF",
       "argument1=x\roperator===\rargument2=y\raction=set\ractionvalue=v w",
       "#IF \"x\" == \"y\" set \"v w\""},
      {"#IF", "", "#IF \"\"  \"\"  \"\""},
      {"#if", kGotoDone, "#if \"x\" == \"y\" goto done"},
      // Values are looked up by name in any order and case, normalised.
      {"#IF",
       "ACTIONVALUE= \"done\" \nAction=goto\nArgument2=\" y \"\n"
       "OPERATOR===\nargument1=  x",
       "#IF \"x\" == \" y \" goto done"},
      {"#IF", "argument1=a\nargument1=b", "#IF \"a\"  \"\"  \"\""},
      {"#IF", "argument1 =a\naction=goto", "#IF \"\"  \"\" goto "},
      {"#IF", "action=gotox\nactionvalue=v", "#IF \"\"  \"\" gotox \"v\""},
      {"#IF", "action=\"goto\"\nactionvalue=v", "#IF \"\"  \"\" goto v"},
      {"#IF", "argument1=a\"b\nactionvalue=q\"q",
       "#IF \"a\"b\"  \"\"  \"q\"q\""},
      {"#IF", "argument1=\xe9\x80\naction=s\xff\nactionvalue=\x81",
       "#IF \"\xe9\x80\"  \"\" s\xff \"\x81\""},
  };
  for (const AssembleCase &c : cases) {
    std::vector<char> out(DIRECTIVE_RESULT_CAPACITY, 'X');
    Plugin().Find("#IF").assemble(c.keyword.c_str(), c.properties.c_str(),
                                  out.data());
    EXPECT_EQ(std::string(out.data()), c.out) << c.properties;
  }
}

TEST_F(If, ParseThenAssembleGivesTheWellFormedReading) {
  const AssembleCase cases[] = {
      {"#IF", "#IF \"x\" == \"y\" goto done", "#IF \"x\" == \"y\" goto done"},
      {"#IF", "#IF x", "#IF \"x\"  \"\"  \"\""},
      {"#IF", "#IF  x = y goto z", "#IF \"\" x \"=\" y \"goto z\""},
      {"#IF", "#IF a<>b goto \"end\"", "#IF \"a<>b\" goto \"end\"  \"\""},
      {"#IF", "#IF \"a b\" = \"c d\" set \"v w\"",
       "#IF \"a b\" = \"c d\" set \"v w\""},
  };
  for (const AssembleCase &c : cases) {
    const std::string properties = Plugin().Parse("#IF", c.properties.c_str());
    EXPECT_EQ(Plugin().Assemble("#IF", properties.c_str()), c.out)
        << c.properties;
  }
}

TEST_F(If, NullPointersReadAsEmpty) {
  const Registration &if_ = Plugin().Find("#IF");
  std::vector<char> out(DIRECTIVE_RESULT_CAPACITY, 'X');
  if_.parse(nullptr, out.data(), 0);
  EXPECT_EQ(std::string(out.data()),
            Text({"operator=", "argument2=", "action=", "actionvalue="}));
  if_.assemble(nullptr, nullptr, out.data());
  EXPECT_STREQ(out.data(), " \"\"  \"\"  \"\"");
  if_.parse("#IF x", nullptr, 0);
  if_.assemble("#IF", kGotoDone.c_str(), nullptr);
}

TEST_F(If, ResultsAtTheCapacityLimit) {
  const Registration &if_ = Plugin().Find("#IF");
  // A long unterminated argument1: «argument1=» + token + CR LF and the four
  // empty lines that follow it.
  const std::size_t overhead =
      Text({"argument1=", "operator=", "argument2=", "action=", "actionvalue="})
          .size();
  const std::size_t fits = DIRECTIVE_RESULT_CAPACITY - 1 - overhead;
  for (const std::size_t length : {fits, fits + 1}) {
    const std::string text = "#IF \"" + std::string(length, 'a');
    directive_host::platform::GuardedBuffer out;
    if_.parse(text.c_str(), out.data(), 0);
    EXPECT_EQ(std::strlen(out.data()),
              length == fits ? DIRECTIVE_RESULT_CAPACITY - 1 : 0)
        << length;
  }
  // «#IF "» + argument1 + «"  ""  ""»: 14 bytes around the value.
  const std::size_t assembleFits = DIRECTIVE_RESULT_CAPACITY - 1 - 14;
  for (const std::size_t length : {assembleFits, assembleFits + 1}) {
    const std::string properties = "argument1=" + std::string(length, 'a');
    directive_host::platform::GuardedBuffer out;
    if_.assemble("#IF", properties.c_str(), out.data());
    EXPECT_EQ(std::strlen(out.data()),
              length == assembleFits ? DIRECTIVE_RESULT_CAPACITY - 1 : 0)
        << length;
  }
}

} // namespace
