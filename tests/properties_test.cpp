#include "platform/platform.h"
#include "properties.h"
#include "support/PropertyListText.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

PropertyList ListOf(std::string_view text) {
  PropertyList list;
  list.FromText(text);
  return list;
}

// "n0", "n1", ...: appended rather than built with "n" + std::to_string(i),
// which GCC 12 at -O3 wrongly reports as an overlapping copy (-Wrestrict).
std::string NumberedName(std::size_t i, const char *prefix = "n") {
  std::string name = prefix;
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
  // As a host passes them: a host string ends at its first NUL.
  for (const Case &c : cases) {
    EXPECT_EQ(LinesOf(ListOf(HostString(c.text.c_str()))), c.lines) << c.text;
  }
}

TEST(PropertyList, FromTextReplacesEarlierContents) {
  PropertyList list = ListOf("a=1\nb=2");
  list.FromText("c=3");
  EXPECT_EQ(LinesOf(list), Lines{"c=3"});
}

TEST(PropertyList, ToTextEndsEveryLineWithCrLf) {
  EXPECT_EQ(ToText(ListOf("")), "");
  EXPECT_EQ(ToText(ListOf("a=1\nb=")), "a=1\r\nb=\r\n");
  EXPECT_EQ(ToText(ListOf("a=1\n\rb=2")), "a=1\r\n\r\nb=2\r\n");
  EXPECT_EQ(ToText(ListOf("no equals\n=\na==b")), "no equals\r\n=\r\na==b\r\n");
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

// Lines are views: the list holds what it was given, not copies of it.
TEST(PropertyList, LinesViewTheTextTheyCameFrom) {
  const std::string text = "a=1\r\nb";
  PropertyList list = ListOf(text);
  EXPECT_EQ(list.Lines()[0].Value().data(), text.data() + 2);
  EXPECT_EQ(list.Lines()[1].Name().data(), text.data() + 5);
  const std::string value = "v";
  list.PutValue("c", value);
  EXPECT_EQ(list.Lines()[2].Value().data(), value.data());
}

// Past its inline lines a list moves to the heap and keeps working the same
// way: lookups, replacements, removals down to none, and growth again.
TEST(PropertyList, ManyLinesSpillToTheHeap) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < 3 * PropertyLines::kInline; ++i) {
    names.push_back(NumberedName(i));
  }
  PropertyList list;
  Lines expected;
  for (const std::string &name : names) {
    list.PutValue(name, name);
    expected.push_back(name + "=" + name);
  }
  EXPECT_EQ(LinesOf(list), expected);
  EXPECT_EQ(list.ValueOf(NumberedName(names.size() - 1, "N")), names.back());
  list.PutValue("n3", "three");
  expected[3] = "n3=three";
  EXPECT_EQ(LinesOf(list), expected);
  for (std::size_t i = 0; i + 1 < names.size(); ++i) {
    list.PutValue(names[i], "");
  }
  EXPECT_EQ(LinesOf(list), Lines{expected.back()});
  list.PutValue(names.back(), "");
  EXPECT_EQ(list.Lines().Size(), 0u);
  list.PutValue("again", "1");
  EXPECT_EQ(LinesOf(list), Lines{"again=1"});
}

TEST(PropertyList, RemovesInlineLinesFromAnyPlace) {
  PropertyList list = ListOf("a=1\nb=2\nc=3\nd=4");
  list.PutValue("a", "");
  list.PutValue("c", "");
  EXPECT_EQ(LinesOf(list), (Lines{"b=2", "d=4"}));
  list.PutValue("d", "");
  list.PutValue("b", "");
  EXPECT_EQ(LinesOf(list), Lines{});
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
  std::string expected;
  for (const std::string &line : lines) {
    expected += line + "\r\n";
  }
  EXPECT_EQ(ToText(ListOf(text)), expected);
}

// Names and values of every length to past two words, holding control
// bytes other than CR and LF: the splitter reads a word at a time and looks
// closer at every byte below 14, but only CR and LF end a line.
TEST(PropertyList, FromTextSplitsAtBreaksAndTheFirstEqualsOfAnyLine) {
  const std::string breaks[] = {"\r", "\n", "\r\n"};
  const std::string fill = "ab\tc\x0b=d\x01e\x0cfg\x7fhijklmnopq";
  for (std::size_t length = 0; length <= 20; ++length) {
    // The name holds no '='; the value may.
    std::string name = fill.substr(0, length);
    std::erase(name, '=');
    const std::string value = fill.substr(fill.size() - length);
    Lines lines = {name + "=" + value, "v" + value, name + "=", "=" + value};
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      text += lines[i] + breaks[(length + i) % std::size(breaks)];
    }
    const PropertyList list = ListOf(text);
    EXPECT_EQ(LinesOf(list), lines) << length;
    EXPECT_EQ(list.ValueOf(name), value) << length;
    EXPECT_EQ(LinesOf(ListOf(text.substr(0, text.size() - 1))).size(),
              lines.size())
        << length;
  }
}

// Past its inline lines a copy holds lines of its own.
TEST(PropertyList, CopiesOfAListOnTheHeapStandApart) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < 2 * PropertyLines::kInline; ++i) {
    names.push_back(NumberedName(i));
  }
  PropertyList list;
  for (const std::string &name : names) {
    list.PutValue(name, "v");
  }
  const Lines before = LinesOf(list);
  const PropertyList copy = list;
  list.PutValue("n0", "changed");
  list.PutValue("n1", "");
  EXPECT_EQ(LinesOf(copy), before);
  EXPECT_EQ(list.ValueOf("n0"), "changed");
}

// The splitter reads a word at a time: a break, a '=', a control byte that
// the word test marks too, and a CR LF across two words, at every place in
// a word; and a name beyond ASCII among ASCII ones.
TEST(PropertyList, FromTextSplitsAtEveryPlaceInAWord) {
  for (std::size_t pad = 0; pad <= 17; ++pad) {
    const std::string x(pad, 'x');
    const std::string text =
        x + "=a=<\r\n" + x + "\t\r\r\n=\n\x0e" + x + "=\xC3\xA9\n\xC3\xA9=" + x;
    const PropertyList list = ListOf(text);
    EXPECT_EQ(LinesOf(list), (Lines{x + "=a=<", x + "\t", "", "=",
                                    "\x0e" + x + "=\xC3\xA9", "\xC3\xA9=" + x}))
        << pad;
    EXPECT_EQ(list.ValueOf(x), "a=<") << pad;
    EXPECT_EQ(list.ValueOf("\xC3\xA9"), x) << pad;
    for (const PropertyLine &line : list.Lines()) {
      EXPECT_EQ(line.AsciiName(), line.HasEquals() && IsAscii(line.Name()))
          << pad << " " << TextOf(line);
    }
  }
}

// What a lookup must find, however its shortcuts get there: the first line
// with '=' whose name the platform's own comparison takes for `name`.
std::optional<std::size_t> PlatformFind(const PropertyList &list,
                                        const std::string &name) {
  for (std::size_t i = 0; i < list.Lines().Size(); ++i) {
    const PropertyLine &line = list.Lines()[i];
    if (line.HasEquals() && platform::EqualsIgnoringCase(line.Name(), name)) {
      return i;
    }
  }
  return std::nullopt;
}

// Names of every length to past two words, each looked up in a list of its
// near misses: a byte off by 0x20 or 0x01 (the case bit where no letter is,
// or a letter's neighbour), a byte more or less, and letters replaced by
// characters beyond ASCII that fold to them under some locales (the Kelvin
// sign, dotless and dotted i). Runs under tr_TR too (tests/CMakeLists.txt).
TEST(CaseFolding, ListLookupsGiveThePlatformsAnswersAtEveryLength) {
  const std::string base = "AbI@[`{Zz19_-aBi^~kxYqK";
  std::size_t differences = 0;
  for (std::size_t length = 1; length <= 18; ++length) {
    std::string name;
    for (std::size_t i = 0; i < length; ++i) {
      name += base[(i * 7) % base.size()];
    }
    // Those beyond ASCII first, so that no plain case variant before them
    // hides whether they match.
    std::vector<std::string> names;
    std::vector<std::string> misses = {name.substr(1), name + "a"};
    for (std::size_t at = 0; at < length; ++at) {
      for (const char change : {'\x20', '\x01'}) {
        misses.push_back(name);
        misses.back()[at] = static_cast<char>(name[at] ^ change);
      }
      const char c = name[at];
      const char *beyond = c == 'k' || c == 'K' ? "\xE2\x84\xAA"
                           : c == 'i'           ? "\xC4\xB1"
                           : c == 'I'           ? "\xC4\xB0"
                                                : nullptr;
      if (beyond != nullptr) {
        names.push_back(name.substr(0, at) + beyond + name.substr(at + 1));
      }
    }
    names.insert(names.end(), misses.begin(), misses.end());
    names.push_back(name);
    // A bare line of the name first: a line without '=' never matches.
    std::string text = name;
    for (std::size_t i = 0; i < names.size(); ++i) {
      text += "\n" + names[i] + "=" + std::to_string(i);
    }
    const PropertyList list = ListOf(text);
    for (const std::string &wanted : names) {
      if (list.FindName(wanted) != PlatformFind(list, wanted) &&
          ++differences <= 10) {
        ADD_FAILURE() << "\"" << wanted << "\" in \"" << text << "\"";
      }
    }
  }
  EXPECT_EQ(differences, 0u);
}

// The answers settled at load for the module's own names are the locale's.
TEST(CaseFolding, OwnNamesTakeTheAnswersTheLocaleGives) {
  for (std::size_t wanted = 0; wanted < platform::kOwnNames.size(); ++wanted) {
    EXPECT_EQ(FoldedName(platform::kOwnNames[wanted]).Own(), wanted);
    for (std::size_t other = 0; other < platform::kOwnNames.size(); ++other) {
      EXPECT_EQ(platform::OwnNamesEqual(wanted, other),
                platform::EqualsIgnoringCase(platform::kOwnNames[other],
                                             platform::kOwnNames[wanted]))
          << platform::kOwnNames[wanted] << " / " << platform::kOwnNames[other];
    }
  }
  // Only the very bytes of an own name are one.
  for (const char *miss : {"Label", "label ", "labe", "argument", "goto\xAD",
                           "argument3", "actionvaluex"}) {
    EXPECT_EQ(OwnNameIndex(miss), platform::kNotOwnName) << miss;
  }
}

// Every pair of short names that some locale treats unlike ASCII in "C"
// (Turkish I, Hungarian and Czech double letters, Danish aa, ignored
// characters, a lead byte of code page 932 followed by an ASCII byte), the
// module's own names and their near misses: each looked up in a list of all
// of them, and tested as the goto action is, as the platform says. Runs
// under several user locales (tests/CMakeLists.txt).
TEST(CaseFolding, TroublesomePairsGiveThePlatformsAnswers) {
  std::vector<std::string> names;
  for (const std::string_view own : platform::kOwnNames) {
    const std::string name(own);
    std::string upper = name;
    for (char &c : upper) {
      c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 0x20 : c);
    }
    names.insert(names.end(),
                 {name, upper, name + "\xAD", "\xAD" + name, name + "\x01",
                  "\x81" + name, name.substr(0, name.size() / 2)});
  }
  names.insert(names.end(), {"I",
                             "i",
                             "\xDD",
                             "\xFD",
                             "\xC4\xB0",
                             "\xC4\xB1",
                             "Ii",
                             "iI",
                             "cs",
                             "CS",
                             "ccs",
                             "cscs",
                             "dzs",
                             "ddzs",
                             "ch",
                             "CH",
                             "c",
                             "h",
                             "aa",
                             "AA",
                             "\xE5",
                             "\xC5",
                             "ss",
                             "\xDF",
                             "\x81"
                             "A",
                             "\x81"
                             "a",
                             "\x82\x60",
                             "\x82\x81",
                             "\x81",
                             "-",
                             "'",
                             "",
                             "a-b",
                             "ab",
                             "\xE2\x84\xAA",
                             "k",
                             "K"});
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    text += names[i] + "=" + std::to_string(i) + "\r\n";
  }
  std::size_t differences = 0;
  for (const std::string &wanted : names) {
    const FoldedName folded(wanted);
    for (const std::string &other : names) {
      // One list per line, so that each pair is looked up on its own.
      PropertyList single;
      const std::string line = other + "=v";
      single.FromText(line);
      const bool expected = platform::EqualsIgnoringCase(other, wanted);
      if ((single.FindName(folded).has_value() != expected ||
           EqualsIgnoringCase(folded, other) != expected) &&
          ++differences <= 10) {
        ADD_FAILURE() << "\"" << wanted << "\" / \"" << other << "\"";
      }
    }
    const PropertyList list = ListOf(text);
    if (list.FindName(folded) != PlatformFind(list, wanted) &&
        ++differences <= 10) {
      ADD_FAILURE() << "\"" << wanted << "\" in the list of all";
    }
  }
  EXPECT_EQ(differences, 0u);
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
