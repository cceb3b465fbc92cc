// The module against its plain reference, and the comparison shortcuts
// against the system's comparison, on the platform the suite runs on: the
// Linux build under C.UTF-8, the Windows build in code page 1252.
#include "CaseFolding.h"
#include "GotoLabelPlugin.h"
#include "IfDirectivePlugin.h"
#include "platform/platform.h"
#include "reference/ReferenceCallbacks.h"
#include "validate/InPlaceCall.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <string>
#include <vector>

namespace {

// Pieces of names that fold, or are ignored, in some way somewhere.
std::vector<std::string> Alphabet() {
  std::vector<std::string> pieces = {"a", "A", "i", "I",    "k",    "K", "1",
                                     "=", "-", " ", "\x01", "\x7f", "s", "S"};
#ifdef _WIN32
  // Code page 1252: soft hyphen, sharp s, É and é, Š and š.
  for (const char *piece : {"\xAD", "\xDF", "\xC9", "\xE9", "\x8A", "\x9A"}) {
    pieces.push_back(piece);
  }
#else
  // UTF-8: Kelvin sign, é and É, a lone lead byte, dotless and dotted i,
  // sharp s.
  for (const char *piece : {"\xE2\x84\xAA", "\xC3\xA9", "\xC3\x89", "\xC3",
                            "\xC4\xB1", "\xC4\xB0", "\xC3\x9F"}) {
    pieces.push_back(piece);
  }
#endif
  return pieces;
}

// Every string of up to two pieces.
std::vector<std::string> ShortStrings() {
  const std::vector<std::string> pieces = Alphabet();
  std::vector<std::string> strings = {""};
  for (const std::string &a : pieces) {
    strings.push_back(a);
    for (const std::string &b : pieces) {
      strings.push_back(a + b);
    }
  }
  return strings;
}

TEST(CaseFolding, ShortcutsGiveThePlatformsAnswers) {
  const std::vector<std::string> strings = ShortStrings();
  std::size_t differences = 0;
  for (const std::string &a : strings) {
    for (const std::string &b : strings) {
      if (EqualsIgnoringCase(a, b) != platform::EqualsIgnoringCase(a, b)) {
        if (++differences <= 10) {
          ADD_FAILURE() << "\"" << a << "\" / \"" << b << "\"";
        }
      }
    }
  }
  EXPECT_EQ(differences, 0u);
}

// Run again under tr_TR.UTF-8 where the system has it (tests/CMakeLists.txt):
// there I and i are two letters, each with a case partner of its own.
TEST(CaseFolding, TurkishLocaleTakesNoAsciiShortcut) {
  const char *locale = std::getenv("LC_ALL");
  if (locale == nullptr || std::string(locale).rfind("tr_TR", 0) != 0) {
    GTEST_SKIP() << "runs under LC_ALL=tr_TR.UTF-8";
  }
  EXPECT_FALSE(platform::AsciiFoldsPlainly());
  EXPECT_TRUE(EqualsIgnoringCase("LABEL", "label"));
  EXPECT_FALSE(EqualsIgnoringCase("ACTION", "action"));
  EXPECT_TRUE(EqualsIgnoringCase("ACTION", "act\xC4\xB1on")); // «actıon»
  EXPECT_TRUE(EqualsIgnoringCase("\xC4\xB0tem", "item"));     // «İtem»
}

TEST(CaseFolding, ShortcutsGiveThePlatformsAnswersForNames) {
  const char *const pairs[][2] = {
      {"argument1", "ARGUMENT1"},
      {"argument1", "argument2"},
      {"action", "actionvalue"},
      {"actionvalue", "action"},
      {"label", "Label"},
      {"label", "label "},
      {"strasse", "stra\xDF"
                  "e"},
      {"label", "la\xAD"
                "bel"},
      {"goto", "GoTo"},
      {"\xC3\xA9tiquette", "\xC3\x89TIQUETTE"},
      {"key", "\xE2\x84\xAA"
              "ey"},
  };
  for (const auto &pair : pairs) {
    EXPECT_EQ(EqualsIgnoringCase(pair[0], pair[1]),
              platform::EqualsIgnoringCase(pair[0], pair[1]))
        << pair[0] << " / " << pair[1];
  }
}

// Names of every length to past two words, each against its variants: the
// comparison reads them a word at a time, and the last word overlaps.
TEST(CaseFolding, ShortcutsGiveThePlatformsAnswersForEveryLength) {
  // Letters, and the characters one 0x20 away from a letter's partner.
  const std::string base = "Ab@[`{Zz19_-aB^~xYq";
  std::size_t differences = 0;
  for (std::size_t length = 1; length <= 2 * base.size(); ++length) {
    std::string name;
    for (std::size_t i = 0; i < length; ++i) {
      name += base[(i * 7) % base.size()];
    }
    std::vector<std::string> others = {name, name.substr(1), name + "a"};
    for (std::size_t at = 0; at < length; ++at) {
      for (const char change : {'\x20', '\x01', '\x60'}) {
        std::string other = name;
        other[at] = static_cast<char>(other[at] ^ change);
        others.push_back(other);
      }
    }
    for (const std::string &other : others) {
      if (EqualsIgnoringCase(name, other) !=
          platform::EqualsIgnoringCase(name, other)) {
        if (++differences <= 10) {
          ADD_FAILURE() << "\"" << name << "\" / \"" << other << "\"";
        }
      }
    }
  }
  EXPECT_EQ(differences, 0u);
}

TEST(CaseFolding, IsAsciiReadsEveryByte) {
  for (std::size_t length = 0; length <= 20; ++length) {
    const std::string ascii(length, '\x7f');
    EXPECT_TRUE(IsAscii(ascii)) << length;
    for (std::size_t at = 0; at < length; ++at) {
      std::string other = ascii;
      other[at] = '\x80';
      EXPECT_FALSE(IsAscii(other)) << length << " at " << at;
    }
  }
}

const reference::NameEquals kSystem = [](const std::string &a,
                                         const std::string &b) {
  return platform::EqualsIgnoringCase(a, b);
};

std::string Parsed(ParseProc parse, const std::string &text) {
  std::vector<char> out(DIRECTIVE_RESULT_CAPACITY, 'X');
  parse(text.c_str(), out.data(), 0);
  return out.data();
}

std::string Assembled(AssembleProc assemble, const std::string &keyword,
                      const std::string &properties) {
  std::vector<char> out(DIRECTIVE_RESULT_CAPACITY, 'X');
  assemble(keyword.c_str(), properties.c_str(), out.data());
  return out.data();
}

// Property texts whose names need the locale: case, letters outside ASCII,
// and on Windows characters that the system's comparison ignores.
std::vector<std::string> PropertyTexts() {
  std::vector<std::string> texts = {
      "",
      "label=x",
      "LABEL=x\r\nlabel=y",
      "label =x\nlabel=y",
      "argument1=a\r\noperator===\r\nargument2=b\r\naction=GoTo\r\n"
      "actionvalue=c\r\n",
      "ACTIONVALUE= \"v\" \nAction=set\nArgument2=\" y \"\nargument1=  x",
      "actionvalue=v\naction=\"goto\"",
      "argument1\nargument1=\nargument1=z",
  };
  for (const std::string &name : ShortStrings()) {
    texts.push_back(name + "abel=1\n" + name + "rgument1=2\n" + name +
                    "ction=" + name + "oto\nlabel=3\naction=go" + name);
  }
  return texts;
}

TEST(Reference, AssembleAgreesWithTheModule) {
  for (const std::string &properties : PropertyTexts()) {
    EXPECT_EQ(Assembled(LabelGotoAssemble, "#GOTO", properties),
              reference::LabelGotoAssemble("#GOTO", properties, kSystem))
        << properties;
    EXPECT_EQ(Assembled(IfAssemble, "#IF", properties),
              reference::IfAssemble("#IF", properties, kSystem))
        << properties;
    EXPECT_EQ(
        AssembleInPlace(IfAssemble, "#IF", properties, 0, std::nullopt).result,
        reference::IfAssemble("#IF", properties, kSystem))
        << properties;
  }
}

TEST(Reference, ParseAgreesWithTheModule) {
  std::vector<std::string> texts = {
      "",
      "#",
      "#IF",
      "#IF \"x\" == \"y\" goto done",
      "#IF  x = y goto z",
      "#IF \"x\"==\"y\" goto done",
      "#IF ab\"c d\"ef = g h i",
      "#IF x = y \"goto\" z",
      "#IF \"unterminated = y goto z",
      "#LABEL = \"start\"",
      "#GOTO = \"\"",
      "#GOTO = \"",
      "#LABEL2 = x",
  };
  // A closing quote at every distance from the opening one, and none.
  for (std::size_t length = 0; length <= 40; ++length) {
    const std::string inside(length, length % 2 == 0 ? 'q' : ' ');
    texts.push_back("#IF \"" + inside + "\"=\"" + inside + "\" g v");
    texts.push_back("#IF x = \"" + inside);
  }
  for (const std::string &piece : Alphabet()) {
    texts.push_back("#IF " + piece + " " + piece + " " + piece + " " + piece +
                    " " + piece);
    texts.push_back("#GOTO =" + piece + "\"" + piece);
  }
  for (const std::string &text : texts) {
    EXPECT_EQ(Parsed(IfParse, text), reference::IfParse(text, kSystem)) << text;
    EXPECT_EQ(Parsed(LabelGotoParse, text), reference::LabelGotoParse(text))
        << text;
    EXPECT_EQ(ParseInPlace(IfParse, text, 0).result,
              reference::IfParse(text, kSystem))
        << text;
  }
}

} // namespace
