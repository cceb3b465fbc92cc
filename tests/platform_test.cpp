// Locale-aware comparison. The suite runs under C.UTF-8, where letters
// outside ASCII fold too.
#include "platform/platform.h"
#include "properties.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

struct Case {
  std::string a;
  std::string b;
  bool equal;
};

const Case kCases[] = {
    {"", "", true},
    {"label", "label", true},
    {"label", "LABEL", true},
    {"goto", "GoTo", true},
    {"label", "label ", false},
    {"label", "labe", false},
    {"argument1", "argument2", false},
    {"a=b", "A=B", true},
    {"\xC3\x89t\xC3\xA9", "\xC3\xA9T\xC3\x89", true}, // «Été» / «éTÉ»
    {"\xC3\x89", "E", false},
    {"\xE2\x84\xAA", "k", true},                    // Kelvin sign
    {"\xCE\xA3\xCE\xB1", "\xCF\x83\xCE\x91", true}, // «Σα» / «σΑ»
    {"\xC3\x28", "\xC3\x28", true},                 // invalid, same bytes
    {"\xC3\x28", "\xC3\x29", false},
    {"\xFF", "\xFE", false},
    {"x\xC3", "X\xC3", true}, // truncated sequence
};

TEST(EqualsIgnoringCase, FoldsUnderTheUserLocale) {
  for (const Case &c : kCases) {
    EXPECT_EQ(platform::EqualsIgnoringCase(c.a, c.b), c.equal)
        << c.a << " / " << c.b;
    EXPECT_EQ(platform::EqualsIgnoringCase(c.b, c.a), c.equal)
        << c.b << " / " << c.a;
  }
}

TEST(EqualsIgnoringCase, GivesTheSameAnswersOnManyThreads) {
  std::vector<std::thread> threads;
  std::vector<int> failures(8, 0);
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&failures, t] {
      for (int round = 0; round < 2000; ++round) {
        for (const Case &c : kCases) {
          if (platform::EqualsIgnoringCase(c.a, c.b) != c.equal) {
            ++failures[t];
          }
        }
      }
    });
  }
  for (std::thread &thread : threads) {
    thread.join();
  }
  EXPECT_EQ(failures, std::vector<int>(8, 0));
}

TEST(EqualsIgnoringCase, LeavesTheThreadLocaleAlone) {
  // Comparing outside ASCII switches the thread's locale for a moment; the
  // host's conversions must not notice.
  const std::size_t before = MB_CUR_MAX;
  platform::EqualsIgnoringCase("\xC3\x89", "\xC3\xA9");
  EXPECT_EQ(MB_CUR_MAX, before);
}

// The suite's locale folds ASCII as "C" does, so names take the shortcut.
TEST(EqualsIgnoringCase, AsciiFoldsPlainlyInTheSuitesLocale) {
  EXPECT_TRUE(platform::AsciiFoldsPlainly());
}

// A locale can match names of different byte lengths; the value is what
// follows the matched line's own '='.
TEST(PropertyList, ValueOfCutsAtTheMatchedLinesEquals) {
  PropertyList list;
  list.FromText("\xE2\x84\xAA"
                "ey=value\r\nk=second");
  EXPECT_EQ(list.FindName("key"), 0u);
  EXPECT_EQ(list.ValueOf("key"), "value");
  EXPECT_EQ(list.ValueOf("\xE2\x84\xAA"), "second");
}

// A name beyond ASCII that PutValue adds is asked of the locale by later
// lookups of ASCII names, in the list and in its copies.
TEST(PropertyList, PutNamesBeyondAsciiAreMatchedByTheLocale) {
  PropertyList list;
  list.FromText("a=1");
  list.PutValue("\xE2\x84\xAA"
                "ey",
                "value");
  EXPECT_EQ(list.ValueOf("key"), "value");
  const PropertyList copy = list;
  EXPECT_EQ(copy.FindName("KEY"), 1u);
}

} // namespace
