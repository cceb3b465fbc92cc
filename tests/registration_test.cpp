// AutoRegister as a host that exports all six entry points sees it.
#include "hosts/PluginModule.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Keywords() {
  std::vector<std::string> keywords;
  for (const Registration &registration : Registrations()) {
    keywords.push_back(registration.keyword);
  }
  return keywords;
}

const std::vector<std::string> kKeywords = {"#LABEL", "#GOTO", "#IF"};

TEST(Registration, RegistersEveryKeywordInOrder) {
  PluginModule plugin;
  ASSERT_TRUE(plugin.Loaded()) << plugin.Error();
  ASSERT_TRUE(plugin.AutoRegister());
  ASSERT_EQ(Keywords(), kKeywords);
  const std::vector<Registration> &rows = Registrations();
  EXPECT_EQ(rows[0].parse, rows[1].parse);
  EXPECT_EQ(rows[0].assemble, rows[1].assemble);
  EXPECT_NE(rows[0].parse, rows[2].parse);
  EXPECT_NE(rows[0].assemble, rows[2].assemble);
  for (const Registration &row : rows) {
    EXPECT_NE(row.parse, nullptr);
    EXPECT_NE(row.assemble, nullptr);
  }
  EXPECT_EQ(OtherEntryPointCalls(), (std::array<int, 5>{}));
}

TEST(Registration, SecondAutoRegisterRepeatsTheCalls) {
  PluginModule plugin;
  ASSERT_TRUE(plugin.Loaded()) << plugin.Error();
  ASSERT_TRUE(plugin.AutoRegister());
  ASSERT_TRUE(plugin.AutoRegister());
  std::vector<std::string> twice = kKeywords;
  twice.insert(twice.end(), kKeywords.begin(), kKeywords.end());
  ASSERT_EQ(Keywords(), twice);
  const std::vector<Registration> &rows = Registrations();
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(rows[i].parse, rows[i + 3].parse);
    EXPECT_EQ(rows[i].assemble, rows[i + 3].assemble);
  }
  EXPECT_EQ(OtherEntryPointCalls(), (std::array<int, 5>{}));
}

TEST(Registration, SurvivesManyLoadsAndUnloads) {
  for (int cycle = 0; cycle < 300; ++cycle) {
    PluginModule plugin;
    ASSERT_TRUE(plugin.Loaded()) << plugin.Error();
    ASSERT_TRUE(plugin.AutoRegister());
    ASSERT_EQ(Registrations().size(), 3u) << "cycle " << cycle;
    ASSERT_EQ(plugin.Parse("#IF", "#IF \"x\" == \"y\" goto done"),
              "argument1=x\r\noperator===\r\nargument2=y\r\naction=goto\r\n"
              "actionvalue=done\r\n")
        << "cycle " << cycle;
    ASSERT_EQ(plugin.Assemble("#GOTO", "label=end"), "#GOTO =\"end\"");
  }
  EXPECT_EQ(OtherEntryPointCalls(), (std::array<int, 5>{}));
}

} // namespace
