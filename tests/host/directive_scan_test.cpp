// Unit tests of the directive scan, which decides for format, lint and the
// language server which lines hold directives, whether the plug-in can be
// asked about one and whether its answer can be taken.
#include "LabelCallbacks.h"
#include "script/DirectiveScan.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

using namespace directive_host;

int parses = 0;

DirectiveBool DIRECTIVE_CALL CountedLabelParse(const char *text, char *out,
                                               uint32_t extra) {
  ++parses;
  return test_callbacks::LabelParse(text, out, extra);
}

// "#IF a=b;c=d" parses to the property text "a=b\r\nc=d\r\n".
DirectiveBool DIRECTIVE_CALL IfParse(const char *text, char *out, uint32_t) {
  ++parses;
  std::string properties = std::string(text).substr(4);
  for (std::size_t semicolon;
       (semicolon = properties.find(';')) != std::string::npos;) {
    properties.replace(semicolon, 1, "\r\n");
  }
  test_callbacks::Write(properties.empty() ? "" : properties + "\r\n", out);
  return 0;
}

Registry Keywords() {
  Registry registry;
  registry.Add({DIRECTIVE_KEYWORD_LABEL, CountedLabelParse,
                test_callbacks::LabelAssemble});
  registry.Add({DIRECTIVE_KEYWORD_GOTO, CountedLabelParse,
                test_callbacks::LabelAssemble});
  registry.Add({DIRECTIVE_KEYWORD_IF, IfParse, test_callbacks::LabelAssemble});
  return registry;
}

TEST(DirectiveScan, VisitsEachLineOfARegisteredKeywordCountingFromOne) {
  const std::string text = "\xEF\xBB\xBF#LABEL = a\r\n"
                           "  #goto = b\r"
                           "text\n"
                           "#SAY x\n"
                           "\n"
                           "\t#GOTO = c";
  struct Seen {
    std::size_t line;
    std::string indent, directive, ending;
    bool operator==(const Seen &) const = default;
  };
  const std::vector<Seen> expected = {{1, "", "#LABEL = a", "\r\n"},
                                      {2, "  ", "#goto = b", "\r"},
                                      {6, "\t", "#GOTO = c", ""}};
  std::vector<Seen> seen;
  const Registry registry = Keywords();
  ForEachDirective(text, registry, [&](const ScriptDirective &at) {
    seen.push_back({at.line, std::string(at.found.indent),
                    std::string(at.found.directive),
                    std::string(at.text.ending)});
  });
  EXPECT_EQ(seen, expected);
}

TEST(DirectiveScan, ReadsADirectiveOnceOrSaysWhyNot) {
  const std::string huge(DIRECTIVE_RESULT_CAPACITY, 'x');
  const struct {
    const char *keyword;
    std::string directive;
    Unread unread;
    int parses;
    std::optional<LabelRole> role; // the label use, when there is one
    std::string label;
  } cases[] = {
      {"#LABEL", "#LABEL = a", Unread::kNo, 1, LabelRole::kDefinition, "a"},
      {"#GOTO", "#GOTO = \"b c\"", Unread::kNo, 1, LabelRole::kGoto, "b c"},
      {"#GOTO", "#GOTO = ", Unread::kNo, 1, LabelRole::kGoto, ""},
      {"#GOTO", "#GOTO b", Unread::kNo, 1, std::nullopt, ""},
      {"#IF", "#IF action=GoTo;actionvalue=d", Unread::kNo, 1, LabelRole::kGoto,
       "d"},
      {"#IF", "#IF action=goto", Unread::kNo, 1, LabelRole::kGoto, ""},
      {"#IF", "#IF action=set;actionvalue=d", Unread::kNo, 1, std::nullopt, ""},
      // A plug-in would see only the text before the NUL: it is not asked.
      {"#LABEL", "#LABEL = a\0b"s, Unread::kHoldsNul, 0, std::nullopt, ""},
      // No result for a text this long may be one that did not fit.
      {"#LABEL", "#LABEL = " + huge, Unread::kMayNotHaveFit, 1, std::nullopt,
       ""},
      {"#GOTO", "#GOTO " + huge.substr(600), Unread::kMayNotHaveFit, 1,
       std::nullopt, ""},
      // Short of that, no result is the plug-in's answer.
      {"#GOTO", "#GOTO " + huge.substr(2000), Unread::kNo, 1, std::nullopt, ""},
  };
  const Registry registry = Keywords();
  ResultBuffer out;
  for (const auto &c : cases) {
    SCOPED_TRACE(c.directive.substr(0, 40));
    parses = 0;
    const DirectiveReading reading =
        ReadDirective(*registry.Find(c.keyword), c.directive, out);
    EXPECT_EQ(reading.unread, c.unread);
    EXPECT_EQ(parses, c.parses);
    const std::optional<LabelUse> use = reading.Label();
    ASSERT_EQ(use.has_value(), c.role.has_value());
    if (use) {
      EXPECT_EQ(use->role, *c.role);
      EXPECT_EQ(use->label, c.label);
    }
    const std::string reason = reading.Reason(c.directive.size());
    EXPECT_EQ(reason.empty(), c.unread == Unread::kNo) << reason;
  }
}

TEST(DirectiveScan, TellsTheReasonsItGives) {
  const Registry registry = Keywords();
  ResultBuffer out;
  EXPECT_EQ(ReadDirective(*registry.Find("#GOTO"), "#GOTO\0"s, out).Reason(6),
            "the line holds a NUL byte");
  const std::string longLine = "#LABEL = " + std::string(70000, 'y');
  EXPECT_EQ(
      ReadDirective(*registry.Find("#LABEL"), longLine, out).Reason(70009),
      CapacityReason("parse result", 70009));
}

TEST(DirectiveScan, ATextBreaksALineAtACrOrAnLf) {
  EXPECT_FALSE(BreaksLine("#GOTO = a"));
  EXPECT_FALSE(BreaksLine(""));
  EXPECT_TRUE(BreaksLine("#GOTO = a\r"));
  EXPECT_TRUE(BreaksLine("\n#GOTO"));
}

} // namespace
