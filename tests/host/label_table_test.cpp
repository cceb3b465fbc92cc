// Unit tests of the table of labels that lint looks gotos up in, and of the
// search for the label an undefined one most likely means.
#include "lint/LabelTable.h"
#include "lint/NearestLabel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

using directive_host::EditDistance;
using directive_host::LabelTable;
using directive_host::NearestLabels;

TEST(LabelTable, KeepsTheFirstDefinitionOfEachLabelThroughGrowth) {
  LabelTable table;
  EXPECT_EQ(table.Find("a"), 0u);
  // Prefixes of each other, case and bytes beyond ASCII tell labels apart;
  // thousands of them make the table grow several times.
  std::map<std::string, std::size_t> expected;
  for (std::size_t i = 0; i < 5000; ++i) {
    const std::string label = std::string(i % 7, 'a') + std::to_string(i / 7) +
                              (i % 2 ? "A" : "a") + (i % 3 ? "" : "\xE9");
    const std::size_t first = expected.try_emplace(label, i + 1).first->second;
    EXPECT_EQ(table.Define(label, i + 1), first) << label;
    EXPECT_EQ(table.Define(label, i + 10000), first) << label;
  }
  std::size_t visited = 0;
  table.ForEach([&](std::string_view label, std::size_t line) {
    EXPECT_EQ(expected.at(std::string(label)), line);
    ++visited;
  });
  EXPECT_EQ(visited, expected.size());
  for (const auto &[label, line] : expected) {
    EXPECT_EQ(table.Find(label), line) << label;
    EXPECT_EQ(table.Find(label + "x"), 0u) << label;
  }
  EXPECT_EQ(table.Find(""), 0u);
}

TEST(LabelTable, MarksOnlyDefinedLabelsGoneTo) {
  LabelTable table;
  table.MarkGoneTo("a"); // on an empty table
  table.Define("a", 1);
  table.Define("b", 2);
  table.MarkGoneTo("b");
  table.MarkGoneTo("c");
  std::vector<std::string> unmarked;
  table.ForEach([&](std::string_view label,
                    std::size_t) { unmarked.emplace_back(label); },
                true);
  EXPECT_EQ(unmarked, std::vector<std::string>{"a"});
  EXPECT_EQ(table.Find("c"), 0u);
}

// The whole table of the edit distance, as the banded one must count it up
// to its cap.
std::size_t FullDistance(const std::string &a, const std::string &b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) {
    row[j] = j;
  }
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({above + 1, row[j - 1] + 1,
                         diagonal + (a[i - 1] != b[j - 1] ? 1u : 0u)});
      diagonal = above;
    }
  }
  return std::min<std::size_t>(row[b.size()], 3);
}

TEST(NearestLabel, EditDistanceMatchesTheFullTable) {
  std::mt19937 random(7);
  const auto word = [&] {
    std::string w(random() % 7, 'a');
    for (char &c : w) {
      c = "abAB"[random() % 4];
    }
    return w;
  };
  for (int i = 0; i < 20000; ++i) {
    const std::string a = word(), b = word();
    ASSERT_EQ(EditDistance(a, b), FullDistance(a, b)) << a << " / " << b;
  }
}

TEST(NearestLabel, SuggestsByCaseThenEditsThenDefinition) {
  LabelTable table;
  const char *labels[] = {"finish",
                          "start",
                          "Stop",
                          "STOP",
                          "abcd",
                          "abce",
                          "xy",
                          "12345",
                          "a\xE9"
                          "b"};
  for (std::size_t i = 0; i < std::size(labels); ++i) {
    table.Define(labels[i], i + 1);
  }
  const NearestLabels nearest(table);
  const struct {
    const char *label;
    const char *expected; // nullptr for no suggestion
  } cases[] = {
      {"finsh", "finish"},   // a byte left out
      {"fiinish", "finish"}, // put in
      {"fimish", "finish"},  // changed
      {"FINSH", "finish"},   // case ignored as well
      {"fnsh", "finish"},    // two edits
      {"fsh", nullptr},      // three
      {"stop", "Stop"},      // both differ in case: fewer edits as spelled
      {"sTOP", "STOP"},
      {"Start", "start"}, // a case match first, though "Stop" is as near
      {"abcf", "abcd"},   // tied: the first defined
      {"x", nullptr},     // all of a short label would be replaced
      {"xz", "xy"},
      {"zw", nullptr}, // two of two bytes changed is not a suggestion
      {"1234", "12345"},
      {"a\xE8"
       "b",
       "a\xE9"
       "b"}, // bytes beyond ASCII
      {"", nullptr},
  };
  for (const auto &c : cases) {
    const auto found = nearest.Nearest(c.label);
    ASSERT_EQ(found.has_value(), c.expected != nullptr) << c.label;
    if (found) {
      EXPECT_EQ(found->label, c.expected) << c.label;
    }
  }
}

// The walk of the trie finds what comparing with every label finds.
TEST(NearestLabel, FindsWhatEveryLabelComparedFinds) {
  std::mt19937 random(11);
  const auto word = [&] {
    std::string w(1 + random() % 6, 'a');
    for (char &c : w) {
      c = "abcAB"[random() % 5];
    }
    return w;
  };
  LabelTable table;
  std::vector<std::string> defined;
  for (std::size_t line = 1; line <= 300; ++line) {
    const std::string label = word();
    if (table.Define(label, line) == line) {
      defined.push_back(label);
    }
  }
  const NearestLabels nearest(table);
  for (int i = 0; i < 2000; ++i) {
    const std::string query = word();
    std::string upper = query;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    std::size_t bestFolded = 3, bestExact = 3, bestLine = 0;
    for (const std::string &label : defined) {
      std::string folded = label;
      std::transform(folded.begin(), folded.end(), folded.begin(), ::toupper);
      const std::size_t f = FullDistance(upper, folded);
      const std::size_t e = FullDistance(query, label);
      const std::size_t line = table.Find(label);
      if (f <= 2 && f < query.size() &&
          (bestLine == 0 ||
           std::tie(f, e, line) < std::tie(bestFolded, bestExact, bestLine))) {
        bestFolded = f, bestExact = e, bestLine = line;
      }
    }
    const auto found = nearest.Nearest(query);
    ASSERT_EQ(found ? found->line : 0, bestLine) << query;
  }
}

} // namespace
