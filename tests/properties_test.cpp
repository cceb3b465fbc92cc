#include "properties.h"

#include <gtest/gtest.h>

#include <array>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

Lines LinesOf(const PropertyList &list) {
  return Lines(list.Lines().begin(), list.Lines().end());
}

PropertyList ListOf(std::string_view text) {
  PropertyList list;
  list.FromText(text);
  return list;
}

// "n0", "n1", ...: appended rather than built with "n" + std::to_string(i),
// which GCC 12 at -O3 wrongly reports as an overlapping copy (-Wrestrict).
std::string NumberedName(int i) {
  std::string name = "n";
  name += std::to_string(i);
  return name;
}

TEST(PropertyList, FromTextSplitsOnEveryKindOfBreak) {
  struct Case {
    std::string text;
    Lines lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a=1", {"a=1"}},
      {"a=1\rb=2", {"a=1", "b=2"}},
      {"a=1\nb=2", {"a=1", "b=2"}},
      {"a=1\r\nb=2", {"a=1", "b=2"}},
      {"a=1\n\rb=2", {"a=1", "", "b=2"}},
      {"a=1\r\n", {"a=1"}},
      {"a=1\r", {"a=1"}},
      {"a=1\n\n", {"a=1", ""}},
      {"\r\na=1", {"", "a=1"}},
      {"a=1\r\n\r\nb=2\r\n", {"a=1", "", "b=2"}},
      {"\r\r", {"", ""}},
      {std::string("a=1\0b=2", 7), {"a=1"}},
      {"x=\x80\xff\t ", {"x=\x80\xff\t "}},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(LinesOf(ListOf(c.text)), c.lines) << c.text;
  }
}

TEST(PropertyList, FromTextReplacesEarlierContents) {
  PropertyList list = ListOf("a=1\nb=2");
  list.FromText("c=3");
  EXPECT_EQ(LinesOf(list), Lines{"c=3"});
}

TEST(PropertyList, ToTextEndsEveryLineWithCrLf) {
  EXPECT_EQ(ListOf("").ToText(), "");
  EXPECT_EQ(ListOf("a=1\nb=").ToText(), "a=1\r\nb=\r\n");
  EXPECT_EQ(ListOf("a=1\n\rb=2").ToText(), "a=1\r\n\r\nb=2\r\n");
}

TEST(PropertyList, ValueOfFindsTheFirstLineByName) {
  struct Case {
    std::string text;
    std::string name;
    std::string value;
  };
  const Case cases[] = {
      {"label=x", "label", "x"},
      {"Label=x", "label", "x"},
      {"LABEL=x", "label", "x"},
      {"label=x", "LaBeL", "x"},
      {"label =x", "label", ""},
      {"label=a\nlabel=b", "label", "a"},
      {"label= x ", "label", " x "},
      {"label=a=b \"c\"", "label", "a=b \"c\""},
      {"label", "label", ""},
      {"labelx\nlabel=y", "label", "y"},
      {"other=1\r\nlabel=2", "label", "2"},
      {"=v", "", "v"},
      {"label=", "label", ""},
      {"a=1", "label", ""},
      {"", "label", ""},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(ListOf(c.text).ValueOf(c.name), c.value)
        << c.text << " / " << c.name;
  }
}

TEST(PropertyList, FindNameSkipsLinesWithoutEquals) {
  const PropertyList list = ListOf("label\nx=1\nLABEL=2");
  EXPECT_EQ(list.FindName("label"), 2u);
  EXPECT_EQ(list.FindName("x"), 1u);
  EXPECT_FALSE(list.FindName("y").has_value());
}

TEST(PropertyList, PutValueSetsReplacesAndRemoves) {
  struct Case {
    std::string text;
    std::string name;
    std::string value;
    Lines lines;
  };
  const Case cases[] = {
      {"", "x", "1", {"x=1"}},
      {"a=1", "x", "1", {"a=1", "x=1"}},
      {"X=old\na=1", "x", "new", {"x=new", "a=1"}},
      {"label=a\nlabel=b", "label", "c", {"label=c", "label=b"}},
      {"a=1", "x", "", {"a=1"}},
      {"a=1\nx=2\nb=3", "x", "", {"a=1", "b=3"}},
      {"x=1\nx=2", "X", "", {"x=2"}},
      {"x", "x", "v", {"x", "x=v"}},
      {"x =1", "x", "v", {"x =1", "x=v"}},
      {"x=1", "x", " a=\"b\" ", {"x= a=\"b\" "}},
  };
  for (const Case &c : cases) {
    PropertyList list = ListOf(c.text);
    list.PutValue(c.name, c.value);
    EXPECT_EQ(LinesOf(list), c.lines)
        << c.text << " / " << c.name << " / " << c.value;
  }
}

TEST(PropertyList, PutValueAcceptsAValueViewingTheListItself) {
  PropertyList list = ListOf("a=a fairly long value that is not inline\nb=2");
  list.PutValue("b", list.ValueOf("a"));
  list.PutValue("c", list.ValueOf("a"));
  EXPECT_EQ(LinesOf(list), (Lines{"a=a fairly long value that is not inline",
                                  "b=a fairly long value that is not inline",
                                  "c=a fairly long value that is not inline"}));
}

TEST(PropertyList, ArenaSpillsLargeListsToTheHeap) {
  CallArena arena;
  PropertyList list(arena.Memory());
  const std::string big(100000, 'v');
  for (int i = 0; i < 50; ++i) {
    list.PutValue(NumberedName(i), big);
  }
  EXPECT_EQ(list.Lines().size(), 50u);
  EXPECT_EQ(list.ValueOf("n49"), big);
  EXPECT_EQ(list.ToText().size(), 50 * (4 + big.size() + 2) - 10);
}

TEST(PropertyList, FromTextSplitsManyLinesOfMixedBreaks) {
  // Runs of each kind of break, so that every line end is searched for
  // afresh or found where an earlier search left off.
  const std::string breaks[] = {"\r", "\n", "\r\n", "\r",
                                "\r", "\n", "\n",   "\r\n"};
  Lines lines;
  std::string text;
  for (std::size_t i = 0; i < 200; ++i) {
    lines.push_back(NumberedName(i) + "=v");
    text += lines.back() + breaks[i % std::size(breaks)];
  }
  EXPECT_EQ(LinesOf(ListOf(text)), lines);
  EXPECT_EQ(LinesOf(ListOf(text + "last")).back(), "last");
}

// The assemble callbacks look their values up without loading a list; they
// must get what the list would give.
TEST(FindValues, AgreesWithAListLoadedFromTheSameText) {
  const std::array<std::string_view, 3> names = {"label", "argument1",
                                                 "actionvalue"};
  const std::string texts[] = {
      "",
      "label=x",
      "LABEL=a\nlabel=b",
      "label=a\r\nLabel=b",
      "Label=first\nlabel=second\nLABEL=third",
      "label\nlabel=y",
      "label =x\nlabel=y",
      "=v\nlabel=\"q\"",
      "argument1=1\r\nlabel= two \r\nactionvalue=a=b",
      "actionvalue=1\rARGUMENT1=2\n\rlabel=3",
      "x=1\n\n\nlabel=\n",
      std::string("label=a\0label=b", 15),
      "argument1=\xC3\x89\nlabel=\xE2\x84\xAA\nactionvalue",
  };
  for (const std::string &text : texts) {
    const PropertyList list = ListOf(text);
    const std::array<std::string_view, 3> values = ValuesOf(text, names);
    for (std::size_t i = 0; i < names.size(); ++i) {
      EXPECT_EQ(values[i], list.ValueOf(names[i])) << text << " / " << names[i];
    }
  }
}

TEST(FindValues, TellsAMissingNameFromAnEmptyValue) {
  const std::array<std::string_view, 2> names = {"label", "other"};
  std::array<std::optional<std::string_view>, 2> values;
  FindValues("label=\nother", names, values);
  EXPECT_EQ(values[0], std::optional<std::string_view>(""));
  EXPECT_EQ(values[1], std::nullopt);
}

TEST(NormalizeValue, TrimsThenDropsOneQuoteFromEachEnd) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"", ""},
      {"abc", "abc"},
      {"  \"a b\"  ", "a b"},
      {"\"a\"b\"", "a\"b"},
      {"ab\"", "ab"},
      {"\"ab", "ab"},
      {"\"", ""},
      {"\"\"", ""},
      {"\"\"\"", "\""},
      {"   ", ""},
      {"\" a \"", " a "},
      {"\t\r\n\x01x\x1f ", "x"},
      {std::string("\0x\0", 3), "x"},
      {"\x80\"\xff", "\x80\"\xff"},
      {"\x21x\x21", "\x21x\x21"},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(NormalizeValue(c.in), c.out) << c.in;
  }
}

} // namespace
