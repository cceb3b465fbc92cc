// The server's features on documents analysed with the real plug-in, in
// process: where they lead, what they change, and what they refuse.
#include "LspTestSupport.h"
#include "format/Formatter.h"
#include "lsp/Completion.h"
#include "lsp/Diagnostics.h"
#include "lsp/Formatting.h"
#include "lsp/Hover.h"
#include "lsp/Navigation.h"
#include "lsp/Rename.h"
#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace directive_host::lsp;

const std::string kScript = "#LABEL = start\n"                 // 0
                            "echo hi\n"                        // 1
                            "  #GOTO = \"start\"\n"            // 2
                            "#IF \"$A\" == \"b\" goto start\n" // 3
                            "#LABEL = \"two words\"\n"         // 4
                            "#goto = two words\n"              // 5
                            "#GOTO = Start\n"                  // 6
                            "#LABEL = start\n";                // 7

Range On(std::size_t line, std::size_t begin, std::size_t end) {
  return {{line, begin}, {line, end}};
}

TEST(Features, DefinitionLeadsFromAGotoToTheFirstLabel) {
  const auto analysis = Analyse(kScript);
  const struct {
    Position at;
    std::vector<Range> expected;
  } cases[] = {
      {{2, 4}, {On(0, 9, 14)}},  // anywhere in a #GOTO
      {{2, 17}, {On(0, 9, 14)}}, // at its end
      {{2, 1}, {}},              // in the indentation
      {{3, 24}, {On(0, 9, 14)}}, // an #IF's label
      {{3, 2}, {}},              // but not the rest of the #IF
      {{5, 3}, {On(4, 10, 19)}},
      {{6, 9}, {}}, // undefined
      {{1, 2}, {}},
      {{7, 3}, {On(0, 9, 14)}}, // a duplicate
      {{40, 0}, {}},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(Definition(*analysis, c.at), c.expected)
        << c.at.line << ":" << c.at.character;
  }
}

TEST(Features, ReferencesAreEveryMentionOfTheLabel) {
  const auto analysis = Analyse(kScript);
  EXPECT_EQ(References(*analysis, {3, 22}, true),
            (std::vector<Range>{On(0, 9, 14), On(2, 11, 16), On(3, 21, 26),
                                On(7, 9, 14)}));
  EXPECT_EQ(References(*analysis, {0, 0}, false),
            (std::vector<Range>{On(2, 11, 16), On(3, 21, 26)}));
  EXPECT_EQ(References(*analysis, {1, 0}, true), std::vector<Range>{});
}

TEST(Features, SymbolsAreOnePerLabel) {
  const auto analysis = Analyse(kScript);
  const std::vector<LabelSymbol> symbols = Symbols(*analysis);
  ASSERT_EQ(symbols.size(), 2u);
  EXPECT_EQ(symbols[0].name, "start");
  EXPECT_EQ(symbols[0].range, On(0, 0, 14));
  EXPECT_EQ(symbols[0].selection, On(0, 9, 14));
  EXPECT_EQ(symbols[1].name, "two words");
  EXPECT_EQ(symbols[1].selection, On(4, 10, 19));
}

TEST(Features, RenameChangesEveryMentionSoThatItReadsBack) {
  const struct {
    std::string script;
    Position at;
    std::string name;
    std::string expected; // the script renamed, or what the refusal says
  } cases[] = {
      {kScript,
       {3, 23},
       "begin",
       "#LABEL = begin\necho hi\n  #GOTO = \"begin\"\n"
       "#IF \"$A\" == \"b\" goto begin\n#LABEL = \"two words\"\n"
       "#goto = two words\n#GOTO = Start\n#LABEL = begin\n"},
      {"#LABEL = \"a b\"\n#GOTO = a b\n",
       {1, 0},
       "c",
       "#LABEL = \"c\"\n#GOTO = c\n"},
      // Spaces around a name survive only in the quotes the plug-in
      // assembles.
      {"#LABEL = a\n#GOTO = a\n",
       {0, 9},
       " b ",
       "#LABEL =\" b \"\n#GOTO =\" b \"\n"},
      {"#LABEL = a\n#IF x = y goto a\n",
       {0, 9},
       " b",
       "the directive at line 2 would not read ' b' back"},
      {kScript, {0, 9}, "", "a label cannot be empty"},
      {kScript, {0, 9}, "a\"b", "a double quote in it would not read back"},
      {kScript, {0, 9}, "a\nb", "line break or another control character"},
      {kScript,
       {0, 9},
       "two words",
       "label 'two words' is already defined at line 5"},
      {kScript, {1, 0}, "x", "there is no label here to rename"},
  };
  for (const auto &c : cases) {
    const auto analysis = Analyse(c.script);
    const Renaming renaming = Rename(*analysis, c.at, c.name);
    if (renaming.refusal.empty()) {
      EXPECT_EQ(Applied(c.script, renaming.edits), c.expected) << c.name;
    } else {
      EXPECT_NE(renaming.refusal.find(c.expected), std::string::npos)
          << renaming.refusal;
    }
  }
  const auto analysis = Analyse(kScript);
  const std::optional<RenameTarget> target = PrepareRename(*analysis, {5, 2});
  ASSERT_TRUE(target);
  EXPECT_EQ(target->range, On(5, 8, 17));
  EXPECT_EQ(target->placeholder, "two words");
  EXPECT_FALSE(PrepareRename(*analysis, {1, 2}));
}

TEST(Features, CompletionOffersLabelsWhereAGotoNamesOne) {
  const struct {
    std::string line;
    std::optional<std::size_t> typedFrom; // where the label being typed starts
    std::vector<std::string> labels;      // those that start with it
  } cases[] = {
      {"#GOTO =", 7, {"start", "two words"}},
      {"#GOTO = st", 8, {"start"}},
      {"  #goto = \"ST", 11, {"start"}},
      {"#IF x = y goto ", 15, {"start", "two words"}},
      {"#IF x = y GOTO tw", 15, {"two words"}},
      {"#GOTO", std::nullopt, {}},
      {"#GOTO st", std::nullopt, {}},
      {"#LABEL = ", std::nullopt, {}},
      {"#IF x = y goto", std::nullopt, {}},
      {"#IF x = y set ", std::nullopt, {}},
      {"say #GOTO =", std::nullopt, {}},
  };
  for (const auto &c : cases) {
    const auto analysis = Analyse(kScript + c.line + "\n");
    const std::vector<LabelCompletion> offered =
        Completions(*analysis, {8, c.line.size()}).items;
    std::vector<std::string> labels;
    for (const LabelCompletion &completion : offered) {
      labels.push_back(completion.label);
      EXPECT_EQ(completion.edit.newText, completion.label);
      ASSERT_TRUE(c.typedFrom) << c.line;
      EXPECT_EQ(completion.edit.range, On(8, *c.typedFrom, c.line.size()))
          << c.line;
    }
    EXPECT_EQ(labels, c.labels) << c.line;
    if (!offered.empty() && offered[0].label == "start") {
      EXPECT_EQ(offered[0].detail, "line 1");
    }
  }
}

TEST(Features, CompletionOffersWhatStartsWithTheTypedAtMostTheLimit) {
  std::string script;
  for (int i = 0; i < 150; ++i) {
    script += "#LABEL = L" + std::to_string(i) + "\n";
  }
  const struct {
    std::string typed;
    std::size_t offered;
    bool incomplete;
  } cases[] = {
      {"", kCompletionLimit, true},
      {"l1", 61, false}, // l1, l10-19, l100-149
      {"L14", 11, false},
      {"x", 0, false},
  };
  for (const auto &c : cases) {
    const std::string line = "#GOTO = " + c.typed;
    const LabelCompletions completions =
        Completions(*Analyse(script + line + "\n"), {150, line.size()});
    EXPECT_EQ(completions.items.size(), c.offered) << c.typed;
    EXPECT_EQ(completions.incomplete, c.incomplete) << c.typed;
  }
}

TEST(Features, HoverShowsTheParsedProperties) {
  const auto analysis = Analyse(kScript + "#GOTO verify\n");
  const std::optional<HoverText> hover = Hover(*analysis, {3, 1});
  ASSERT_TRUE(hover);
  EXPECT_EQ(hover->range, On(3, 0, 26));
  EXPECT_NE(hover->text.find("**#IF**"), std::string::npos);
  EXPECT_NE(hover->text.find("argument1=$A\noperator===\nargument2=b\n"
                             "action=goto\nactionvalue=start\n"),
            std::string::npos)
      << hover->text;
  EXPECT_NE(Hover(*analysis, {8, 3})->text.find("reads no properties"),
            std::string::npos);
  EXPECT_FALSE(Hover(*analysis, {1, 1}));
  const std::optional<HoverText> plain =
      Hover(*analysis, {3, 1}, Markup::kPlainText);
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->text.find_first_of("*`"), std::string::npos) << plain->text;
  EXPECT_NE(plain->text.find("#IF ("), std::string::npos) << plain->text;
}

TEST(Features, DiagnosticsAndTheirQuickFix) {
  const auto analysis = Analyse(kScript);
  const std::vector<Diagnostic> diagnostics = DiagnosticsOf(*analysis);
  ASSERT_EQ(diagnostics.size(), 2u);
  EXPECT_EQ(diagnostics[0].range, On(6, 0, 13));
  EXPECT_EQ(diagnostics[0].code, "undefined-label");
  EXPECT_EQ(diagnostics[0].message,
            "label 'Start' is not defined; did you mean 'start' (line 1)?");
  EXPECT_EQ(diagnostics[1].code, "duplicate-label");

  const std::vector<QuickFix> fixes = QuickFixes(*analysis, On(6, 3, 3));
  ASSERT_EQ(fixes.size(), 1u);
  EXPECT_EQ(fixes[0].title, "Change to 'start'");
  EXPECT_EQ(fixes[0].diagnostic.range, diagnostics[0].range);
  EXPECT_NE(Applied(kScript, {fixes[0].edit}).find("\n#GOTO = start\n"),
            std::string::npos);
  EXPECT_TRUE(QuickFixes(*analysis, On(0, 0, 5)).empty());
}

std::string ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// What `directive-host format` prints for the UTF-8 `text`, read in the
// plug-in's encoding (a byte-order mark, which it lacks, kept as it is).
std::string FormatterOutput(const std::string &text) {
  const std::string_view bom = text.starts_with(directive_host::kUtf8Bom)
                                   ? directive_host::kUtf8Bom
                                   : "";
  bool exact = true;
  const std::string plugin =
      std::string(bom) +
      directive_host::platform::NarrowFromUtf8(text.substr(bom.size()), exact);
  const std::string formatted =
      directive_host::FormatText(plugin, Plugins()).text;
  return std::string(bom) +
         directive_host::platform::Utf8FromNarrow(formatted.substr(bom.size()));
}

TEST(Features, FormattingEditsGiveWhatFormatPrints) {
  const std::string scripts[] = {
      kScript,
      "\xEF\xBB\xBF#goto=start\r\n  #if x = y   goto  caf\xC3\xA9\r\n#GOTO x",
      ReadFile(EXAMPLES_DIR "/nightly-backup.script"),
      ReadFile(EXAMPLES_DIR "/release-deploy.script"),
  };
  for (const std::string &script : scripts) {
    ASSERT_FALSE(script.empty());
    const auto analysis = Analyse(script);
    const std::vector<TextEdit> edits =
        FormattingEdits(*analysis, 0, analysis->Lines().LineCount());
    EXPECT_EQ(Applied(script, edits), FormatterOutput(script));
    EXPECT_EQ(Applied(script, DocumentFormattingEdits(*analysis)),
              FormatterOutput(script));
    EXPECT_FALSE(edits.empty());
    for (const TextEdit &edit : edits) {
      EXPECT_EQ(edit.range.start.line, edit.range.end.line);
      EXPECT_NE(analysis->Lines()
                    .Line(edit.range.start.line)
                    .substr(edit.range.start.character),
                edit.newText);
    }
  }
  // A script whose every line changes is sent whole, and one with a line
  // changed of many as that line.
  std::string unformatted = "\xEF\xBB\xBF";
  for (int i = 0; i < 50; ++i) {
    unformatted += "#goto=x" + std::to_string(i) + "\r\n";
  }
  const std::vector<TextEdit> whole =
      DocumentFormattingEdits(*Analyse(unformatted));
  ASSERT_EQ(whole.size(), 1u);
  EXPECT_EQ(whole[0].range, (Range{{0, 1}, {50, 0}}));
  EXPECT_EQ(Applied(unformatted, whole), FormatterOutput(unformatted));
  std::string formatted;
  for (int i = 0; i < 50; ++i) {
    formatted += "#GOTO =\"x" + std::to_string(i) + "\"\n";
  }
  const std::vector<TextEdit> one =
      DocumentFormattingEdits(*Analyse(formatted + "#goto=y\n"));
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].range, On(50, 0, 7));
  const auto analysis = Analyse(kScript);
  const std::vector<TextEdit> some = FormattingEdits(*analysis, 2, 4);
  ASSERT_EQ(some.size(), 2u);
  EXPECT_EQ(some[0].newText, "  #GOTO =\"start\"");
  EXPECT_EQ(some[0].range, On(2, 0, 17));
  EXPECT_EQ(some[1].range, On(4, 0, 20));
}

// é and € have their like in the ANSI code page that Windows tests run
// under; 😀 has not, and stands for a character the plug-in cannot be given
// before the label.
TEST(Features, PositionsCountTheClientsCodeUnits) {
  const std::string text =
      "#LABEL = \xC3\xA9\xE2\x82\xACx\n"
      "#IF \"\xF0\x9F\x98\x80\" == \"\" goto \xC3\xA9\xE2\x82\xACx\n";
  EXPECT_EQ(Definition(*Analyse(text), {1, 21}),
            std::vector<Range>{On(0, 9, 12)});
  EXPECT_EQ(Definition(*Analyse(text, PositionEncoding::kUtf8), {1, 24}),
            std::vector<Range>{On(0, 9, 15)});
  EXPECT_EQ(Definition(*Analyse(text), {1, 19}), std::vector<Range>{});
  EXPECT_EQ(DiagnosticsOf(*Analyse(text + "#GOTO = \xC3\xA9\n"))[0].range,
            On(2, 0, 9));
}

} // namespace

namespace {

// Ω, which the ANSI code page of Western Windows (and of the Wine the tests
// run under) lacks; UTF-8 and Greek code pages have it.
bool PluginEncodingHasOmega() {
  bool exact = true;
  directive_host::platform::NarrowFromUtf8("\xCE\xA9", exact);
  return exact;
}

TEST(Features, ALineThePluginCannotBeGivenIsNotRewritten) {
  const std::string text = "#goto = \xCE\xA9x\n#LABEL = \xCE\xA9x\n#goto=a\n";
  const bool has = PluginEncodingHasOmega();
  const auto analysis = Analyse(text);
  // Positions hold either way; without Ω, both labels are '?x' to the
  // plug-in and stand for no label.
  EXPECT_EQ(Definition(*analysis, {0, 9}),
            has ? std::vector<Range>{On(1, 9, 11)} : std::vector<Range>{});
  EXPECT_EQ(DiagnosticsOf(*analysis)[0].range, On(2, 0, 7));
  const std::vector<TextEdit> edits =
      FormattingEdits(*analysis, 0, analysis->Lines().LineCount());
  ASSERT_EQ(edits.size(), has ? 3u : 1u);
  EXPECT_EQ(edits.back().newText, "#GOTO =\"a\"");
  const auto plain = Analyse("#LABEL = a\n");
  EXPECT_EQ(
      Rename(*plain, {0, 9}, "\xCE\xA9").refusal,
      has ? ""
          : "'\xCE\xA9' is not representable in code page " +
                std::to_string(directive_host::platform::NarrowCodePage()));
}

// Where the code page lacks them, 😀x and 🎉x are both '??x' to the plug-in:
// neither may be taken for the other, nor for a label written '??x'.
TEST(Features, ALabelThePluginCannotBeGivenIsNoOtherLabel) {
  const std::string smile = "\xF0\x9F\x98\x80x", party = "\xF0\x9F\x8E\x89x";
  const std::string text = "#LABEL = " + smile + "\n" +               // 0
                           "#LABEL = " + party + "\n" +               // 1
                           "#GOTO = " + party + "\n" +                // 2
                           "#GOTO = ??x\n" +                          // 3
                           "#LABEL = ok\n" +                          // 4
                           "#IF \"" + smile + "\" == \"\" goto ok\n"; // 5
  bool has = true;
  directive_host::platform::NarrowFromUtf8(smile, has);
  const auto analysis = Analyse(text);
  const std::string codePage =
      " is not representable in code page " +
      std::to_string(directive_host::platform::NarrowCodePage());

  std::vector<std::string> found;
  for (const Diagnostic &diagnostic : DiagnosticsOf(*analysis)) {
    found.push_back(std::to_string(diagnostic.range.start.line) + " " +
                    diagnostic.message);
  }
  const std::vector<std::string> expected =
      has ? std::vector<std::string>{"3 label '??x' is not defined",
                                     "0 nothing goes to label '" + smile + "'"}
          : std::vector<std::string>{"3 label '??x' is not defined",
                                     "0 label '" + smile + "'" + codePage,
                                     "1 label '" + party + "'" + codePage,
                                     "2 label '" + party + "'" + codePage};
  EXPECT_EQ(found, expected);

  const struct {
    Position at;
    std::vector<Range> definition, references;
  } cases[] = {
      {{2, 9},
       has ? std::vector<Range>{On(1, 9, 12)} : std::vector<Range>{},
       has ? std::vector<Range>{On(1, 9, 12), On(2, 8, 11)}
           : std::vector<Range>{}},
      {{3, 9}, {}, {On(3, 8, 11)}},
      {{5, 22}, {On(4, 9, 11)}, {On(4, 9, 11), On(5, 21, 23)}},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(Definition(*analysis, c.at), c.definition) << c.at.line;
    EXPECT_EQ(References(*analysis, c.at, true), c.references) << c.at.line;
  }
  EXPECT_EQ(Symbols(*analysis).size(), has ? 3u : 1u);
  EXPECT_EQ(PrepareRename(*analysis, {0, 9}).has_value(), has);
  // A refused rename names the code page, not the name asked for.
  EXPECT_EQ(Rename(*analysis, {0, 9}, "y").refusal,
            has ? ""
                : "label '" + smile + "'" + codePage +
                      ", so the plug-in cannot be given it");
  EXPECT_EQ(Rename(*analysis, {4, 9}, "fine").refusal,
            has ? ""
                : "the directive at line 6 has a character that" + codePage +
                      ", so it is not rewritten");
}

} // namespace
