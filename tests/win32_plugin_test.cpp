// The loaded DLL compares property names and the "goto" action through the
// system's locale services, in code page 1252.
#include "hosts/PluginFixture.h"

#include <windows.h>

#include <string>

namespace {

class Cp1252Plugin : public PluginFixture {
protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 1252u) << "run the tests under a Western user locale";
  }
};

struct AssembleCase {
  std::string keyword;
  std::string properties;
  std::string out;
};

// Soft hyphen: CompareStringA ignores it.
const std::string kShy = "\xAD";

TEST_F(Cp1252Plugin, AssembleMatchesNamesAsTheLocaleDoes) {
  const AssembleCase cases[] = {
      {"#LABEL", "la" + kShy + "bel=x", "#LABEL =\"x\""},
      {"#GOTO", "LA" + kShy + "BEL=\xC9t\xE9\r\nlabel=y",
       "#GOTO =\"\xC9t\xE9\""},
      {"#GOTO",
       "l\xE1"
       "bel=x",
       "#GOTO =\"\""}, // «lábel»: accents count
      {"#IF", "ARGUMENT1=\xC9\naction=GO" + kShy + "TO\nactionvalue=done",
       "#IF \"\xC9\"  \"\" GO" + kShy + "TO done"},
      {"#IF", "action=g\xF6to\nactionvalue=done",
       "#IF \"\"  \"\" g\xF6to \"done\""},
  };
  for (const AssembleCase &c : cases) {
    EXPECT_EQ(Plugin().Assemble(c.keyword, c.properties.c_str()), c.out)
        << c.properties;
  }
}

} // namespace
