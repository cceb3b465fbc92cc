// Unit tests of how directive-host reads scripts: where lines end, which
// encodings it refuses, and format and lint over lines that a lone CR ends.
#include "LabelCallbacks.h"
#include "format/Formatter.h"
#include "lint/Lint.h"
#include "script/Directive.h"
#include "script/Encoding.h"
#include "script/Script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

using namespace directive_host;

Registry LabelsAndGotos() {
  Registry registry;
  using test_callbacks::LabelAssemble;
  using test_callbacks::LabelParse;
  registry.Add({DIRECTIVE_KEYWORD_LABEL, LabelParse, LabelAssemble, "test"});
  registry.Add({DIRECTIVE_KEYWORD_GOTO, LabelParse, LabelAssemble, "test"});
  return registry;
}

TEST(Reading, LinesEndAtLfCrLfOrALoneCrInScriptsAndPropertyText) {
  const struct {
    std::string text;
    std::vector<std::string> lines; // each with its break
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\nb\n", {"a\n", "b\n"}},
      {"a\r\nb", {"a\r\n", "b"}},
      {"a\rb\r", {"a\r", "b\r"}},
      {"\r", {"\r"}},
      {"\r\r\n\n", {"\r", "\r\n", "\n"}},
      {"a\n\rb", {"a\n", "\r", "b"}},
      {"a\r\r", {"a\r", "\r"}},
      {"x\0y\rz"s, {"x\0y\r"s, "z"}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<std::string> whole;
    std::vector<std::string> bare;
    for (const Line &line : SplitLines(c.text)) {
      whole.push_back(std::string(line.text) + std::string(line.ending));
      bare.emplace_back(line.text);
    }
    EXPECT_EQ(whole, c.lines);
    // Property text breaks where scripts do.
    EXPECT_EQ(PropertyLines(c.text), bare);
  }
}

TEST(Reading, NamesTheWideEncodingsItCannotRead) {
  const struct {
    std::string text;
    std::string encoding;
  } cases[] = {
      {"\xFF\xFE#\0G\0"s, "UTF-16LE"},
      {"\xFE\xFF\0#\0G"s, "UTF-16BE"},
      {"\xFF\xFE\0\0#\0\0\0"s, "UTF-32LE"},
      {"\0\0\xFE\xFF\0\0\0#"s, "UTF-32BE"},
      {"\xFF\xFE"s, "UTF-16LE"}, // the mark alone
      // No mark: the NUL bytes of ASCII text.
      {"#\0G\0O\0T\0O\0\n\0"s, "UTF-16LE"},
      {"\0#\0G\0O\0T\0O"s, "UTF-16BE"},
      {"#\0\0\0G\0\0\0"s, "UTF-32LE"},
      {"\0\0\0#\0\0\0G"s, "UTF-32BE"},
      // Only the first 64 bytes are looked at.
      {[] {
         std::string text;
         for (int i = 0; i < 32; ++i) {
           text += "a\0"s;
         }
         return text + "xyz";
       }(),
       "UTF-16LE"},
      // 8-bit text, NUL bytes out of the pattern included.
      {"", ""},
      {"\xEF\xBB\xBF#GOTO = a\n", ""},
      {"#GOTO = a\0b\n"s, ""},
      {"ab\0"s, ""},
      {"\0\0"s, ""},
      {"\xE9\0t\xE9"s, ""},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(WideEncoding(c.text), c.encoding)
        << ::testing::PrintToString(c.text);
  }
}

TEST(Reading, FormatAndLintReadEachLineThatALoneCrEnds) {
  const Registry registry = LabelsAndGotos();
  const std::string script = "#goto = a\r#label=a\r#GOTO = b\rtext\r";
  const FormatResult result = FormatText(script, registry);
  EXPECT_EQ(result.text, "#GOTO = a\r#LABEL = a\r#GOTO = b\rtext\r");
  ASSERT_EQ(result.notes.size(), 2u);
  EXPECT_EQ(result.notes[0].line, 1u);
  EXPECT_EQ(result.notes[1].line, 2u);
  EXPECT_TRUE(result.notes[1].rewritten);

  const std::vector<Finding> findings = LintText(script, registry);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].place.line, 3u);
  EXPECT_EQ(findings[0].check, kCheckUndefined);
  EXPECT_EQ(findings[0].message, "label 'b' is not defined");
}

} // namespace
