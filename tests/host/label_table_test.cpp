// Unit tests of the table of labels that lint looks gotos up in.
#include "lint/LabelTable.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using directive_host::LabelTable;

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

} // namespace
