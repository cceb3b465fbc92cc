// The "#LABEL" and "#GOTO" callbacks, driven through the loaded module.
#include "hosts/PluginFixture.h"

#include <cstring>
#include <string>

namespace {

class LabelGoto : public PluginFixture {};

struct ParseCase {
  std::string text;
  std::string out;
};

TEST_F(LabelGoto, ParseGivesTheLabel) {
  const ParseCase cases[] = {
      {"#LABEL = \"start\"", "label=start"},
      {"#GOTO=end", "label=end"},
      {"#GOTO = two words ", "label=two words"},
      {"#GOTO =\"start\"", "label=start"},
      {"#LABEL \"x\"", ""},
      {"#LABEL x = y", ""},
      {"#LABEL2 = x", ""},
      {"#LABEL", ""},
      {"#LABEL   ", ""},
      {"", ""},
      {"#", ""},
      {"#GOTO =", ""},
      {"#GOTO =  \t ", ""},
      {"#GOTO = \"\"", "label="},
      {"#GOTO = \"", ""},
      {"#GOTO = \"a\"b\"", "label=a\"b"},
      {"#GOTO = a=b", "label=a=b"},
      {"#GOTO = \"a", "label=a"},
      {"#GOTO = a\"", "label=a"},
      {"#GOTO = \" a \"", "label= a "},
      {"#ANY = x", "label=x"},
      {"#goto = x", "label=x"},
      {"X = x", "label=x"},
      {"= x", ""},
      {"#GOTO\t=\tx\t", "label=x"},
      {"#GOTO\x01\x1f=\x01x\x1f", "label=x"},
      {"#GOTO \x7f= x", ""},
      {"#GOTO = x\r\n", "label=x"},
      {"#GOTO = a\rb", "label=a\rb"},
      {"#GOTO = \xe9t\xe9 \x80\xff", "label=\xe9t\xe9 \x80\xff"},
      {"#\xc9TAPE = x", ""},
  };
  for (const ParseCase &c : cases) {
    EXPECT_EQ(Plugin().Parse("#LABEL", c.text.c_str()), c.out) << c.text;
    EXPECT_EQ(Plugin().Parse("#GOTO", c.text.c_str()), c.out) << c.text;
  }
}

struct AssembleCase {
  std::string keyword;
  std::string properties;
  std::string out;
};

TEST_F(LabelGoto, AssembleWritesTheLabelQuoted) {
  const AssembleCase cases[] = {
      {"#GOTO", "label=end", "#GOTO =\"end\""},
      {"#LABEL", "LABEL=x\r\n", "#LABEL =\"x\""},
      {"#GOTO", "label= x ", "#GOTO =\" x \""},
      {"#GOTO", "", "#GOTO =\"\""},
      {"#LABEL", "label=a\"b", "#LABEL =\"a\"b\""},
      {"#LABEL", "label=\"x\"", "#LABEL =\"\"x\"\""},
      {"#LABEL", "label=a=b", "#LABEL =\"a=b\""},
      {"#LABEL", "other=1\rlabel=two\r\nlabel=three", "#LABEL =\"two\""},
      {"#LABEL", "\n\rlabel=x\n\r", "#LABEL =\"x\""},
      {"#LABEL", "label =x", "#LABEL =\"\""},
      {"#LABEL", "labels=x", "#LABEL =\"\""},
      {"#LABEL", "LaBeL=\xe9\x80", "#LABEL =\"\xe9\x80\""},
      {"#lAbEl", "label=x", "#lAbEl =\"x\""},
      {"", "label=x", " =\"x\""},
      {" #GOTO ", "label=x", " #GOTO  =\"x\""},
  };
  for (const AssembleCase &c : cases) {
    std::vector<char> out(DIRECTIVE_RESULT_CAPACITY, 'X');
    Plugin().Find("#GOTO").assemble(c.keyword.c_str(), c.properties.c_str(),
                                    out.data());
    EXPECT_EQ(std::string(out.data()), c.out) << c.properties;
  }
}

TEST_F(LabelGoto, RoundTrips) {
  const ParseCase cases[] = {
      {"#GOTO = \"end\"", "#GOTO =\"end\""},
      {"#GOTO x", "#GOTO =\"\""},
      {"#GOTO =\"end\"", "#GOTO =\"end\""},
      {"#GOTO=  spaced out  ", "#GOTO =\"spaced out\""},
  };
  for (const ParseCase &c : cases) {
    const std::string properties = Plugin().Parse("#GOTO", c.text.c_str());
    EXPECT_EQ(Plugin().Assemble("#GOTO", properties.c_str()), c.out) << c.text;
  }
}

TEST_F(LabelGoto, NullPointersReadAsEmpty) {
  const Registration &goto_ = Plugin().Find("#GOTO");
  std::vector<char> out(DIRECTIVE_RESULT_CAPACITY, 'X');
  goto_.parse(nullptr, out.data(), 0);
  EXPECT_STREQ(out.data(), "");
  goto_.assemble(nullptr, nullptr, out.data());
  EXPECT_STREQ(out.data(), " =\"\"");
  goto_.assemble("#GOTO", nullptr, out.data());
  EXPECT_STREQ(out.data(), "#GOTO =\"\"");
  goto_.parse("#GOTO = x", nullptr, 0);
  goto_.assemble("#GOTO", "label=x", nullptr);
}

TEST_F(LabelGoto, ResultsAtTheCapacityLimit) {
  const Registration &goto_ = Plugin().Find("#GOTO");
  // «label=» + value + NUL fills the buffer exactly, then one byte more.
  const std::size_t fits = DIRECTIVE_RESULT_CAPACITY - 1 - 6;
  for (const std::size_t length : {fits, fits + 1}) {
    const std::string text = "#GOTO = " + std::string(length, 'v');
    directive_host::platform::GuardedBuffer out;
    goto_.parse(text.c_str(), out.data(), 0);
    const std::string expected =
        length == fits ? "label=" + std::string(length, 'v') : "";
    EXPECT_EQ(std::string(out.data()), expected) << length;
  }
  // «#GOTO =""» around the value: 9 bytes.
  const std::size_t assembleFits = DIRECTIVE_RESULT_CAPACITY - 1 - 9;
  for (const std::size_t length : {assembleFits, assembleFits + 1}) {
    const std::string properties = "label=" + std::string(length, 'v');
    directive_host::platform::GuardedBuffer out;
    goto_.assemble("#GOTO", properties.c_str(), out.data());
    EXPECT_EQ(std::strlen(out.data()),
              length == assembleFits ? DIRECTIVE_RESULT_CAPACITY - 1 : 0)
        << length;
  }
}

} // namespace
