// Callbacks called in place: the host's out buffer is, or overlaps, the text,
// keyword or property text it passes. Each result must be the one separate
// buffers give, and no byte may be written outside out's capacity.
#include "hosts/PluginFixture.h"
#include "validate/InPlaceCall.h"

#include <string>
#include <vector>

namespace {

class InPlace : public PluginFixture {};

std::string Describe(const std::string &text, std::ptrdiff_t at) {
  return text.substr(0, 60) + (text.size() > 60 ? "..." : "") + " (" +
         std::to_string(text.size()) + " bytes) at " + std::to_string(at);
}

void ExpectSame(const InPlaceResult &inPlace, const std::string &separate,
                const std::string &what) {
  EXPECT_TRUE(inPlace.keptToCapacity) << what;
  ASSERT_TRUE(inPlace.terminated) << what;
  EXPECT_EQ(inPlace.result, separate) << what;
}

// Results across the capacity limit: `fits` bytes of padding make a result
// of exactly DIRECTIVE_RESULT_CAPACITY - 1 bytes.
std::vector<std::string> NearTheCapacity(const std::string &before,
                                         std::size_t fits,
                                         const std::string &after = "") {
  std::vector<std::string> texts;
  for (const std::size_t length : {fits - 1, fits, fits + 1}) {
    texts.push_back(before + std::string(length, 'v') + after);
  }
  return texts;
}

void CheckParse(ParseProc parse, const std::vector<std::string> &texts,
                const PluginModule &plugin, const std::string &keyword) {
  for (const std::string &text : texts) {
    const std::string separate = plugin.Parse(keyword, text.c_str());
    for (const std::ptrdiff_t at : InPlaceOffsets(text)) {
      ExpectSame(ParseInPlace(parse, text, at), separate, Describe(text, at));
    }
  }
}

struct AssembleCase {
  std::string keyword;
  std::string properties;
};

void CheckAssemble(AssembleProc assemble,
                   const std::vector<AssembleCase> &cases) {
  for (const AssembleCase &c : cases) {
    std::vector<char> out(DIRECTIVE_RESULT_CAPACITY, 'X');
    assemble(c.keyword.c_str(), c.properties.c_str(), out.data());
    const std::string separate = out.data();
    for (const std::ptrdiff_t at : InPlaceOffsets(c.properties)) {
      const std::string what = Describe(c.properties, at);
      ExpectSame(
          AssembleInPlace(assemble, c.keyword, c.properties, at, std::nullopt),
          separate, what);
      // The keyword in out as well, just past the property text.
      const std::ptrdiff_t keywordAt =
          at + static_cast<std::ptrdiff_t>(c.properties.size()) + 1;
      ExpectSame(
          AssembleInPlace(assemble, c.keyword, c.properties, at, keywordAt),
          separate, what + ", keyword after it");
    }
    // The keyword alone in out, at its start and just before it.
    for (const std::ptrdiff_t at : {0, -3}) {
      ExpectSame(
          AssembleInPlace(assemble, c.keyword, c.properties, std::nullopt, at),
          separate, "keyword at " + std::to_string(at));
    }
  }
}

TEST_F(InPlace, IfParse) {
  std::vector<std::string> texts = {
      "#IF \"x\" == \"y\" goto done",
      "#IF \"a b\" = \"c d\" set \"v w\"",
      "#IF  x = y goto z",
      "#IF x",
      "#IF",
      "",
      "#IF \"x\"==\"y\" goto done",
      // Tokens far apart, so that the result is shorter than the text.
      "#IF " + std::string(300, ' ') + "x" + std::string(300, '\t') + "=",
  };
  // «argument1=» + token + CR LF and the four empty lines after it.
  const std::size_t overhead = std::string("argument1=\r\noperator=\r\n"
                                           "argument2=\r\naction=\r\n"
                                           "actionvalue=\r\n")
                                   .size();
  for (const std::string &text :
       NearTheCapacity("#IF \"", DIRECTIVE_RESULT_CAPACITY - 1 - overhead)) {
    texts.push_back(text);
  }
  CheckParse(Plugin().Find("#IF").parse, texts, Plugin(), "#IF");
}

TEST_F(InPlace, LabelGotoParse) {
  std::vector<std::string> texts = {
      "#LABEL = \"start\"",
      "#GOTO=end",
      "#GOTO = \"\"",
      "#LABEL x",
      "",
      // The label after many spaces: the result starts before it.
      "#GOTO =" + std::string(200, ' ') + "far",
  };
  // «label=» + value fills the buffer.
  for (const std::string &text :
       NearTheCapacity("#GOTO = ", DIRECTIVE_RESULT_CAPACITY - 1 - 6)) {
    texts.push_back(text);
  }
  CheckParse(Plugin().Find("#GOTO").parse, texts, Plugin(), "#GOTO");
}

TEST_F(InPlace, IfAssemble) {
  std::vector<AssembleCase> cases = {
      {"#IF", "argument1=x\r\noperator===\r\nargument2=y\r\naction=goto\r\n"
              "actionvalue=done\r\n"},
      // Values in the reverse of their written order.
      {"#IF", "actionvalue=" + std::string(100, 'v') +
                  "\naction=set\nargument2=" + std::string(50, 'b') +
                  "\noperator=<>\nargument1=" + std::string(80, 'a')},
      {"#IF", ""},
      {"", "argument1=x"},
  };
  // «#IF "» + argument1 + «"  ""  ""»: 14 bytes around the value.
  for (const std::string &properties :
       NearTheCapacity("argument1=", DIRECTIVE_RESULT_CAPACITY - 1 - 14)) {
    cases.push_back({"#IF", properties});
  }
  CheckAssemble(Plugin().Find("#IF").assemble, cases);
}

TEST_F(InPlace, LabelGotoAssemble) {
  std::vector<AssembleCase> cases = {
      {"#GOTO", "label=end"},
      {"#LABEL", "other=" + std::string(300, 'o') + "\nLABEL=x\r\n"},
      {"#GOTO", ""},
      {"", "label=x"},
  };
  // «#GOTO =""» around the value: 9 bytes.
  for (const std::string &properties :
       NearTheCapacity("label=", DIRECTIVE_RESULT_CAPACITY - 1 - 9)) {
    cases.push_back({"#GOTO", properties});
  }
  CheckAssemble(Plugin().Find("#GOTO").assemble, cases);
}

} // namespace
