// The Windows platform layer, run for real: comparison through the system's
// locale services in a Western ANSI code page, and the module calls.
#include "platform/platform.h"
#include "properties.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The cases below are code page 1252 bytes; the suite sets a Western user
// locale, and a different one would make them mean other letters.
class Cp1252 : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 1252u) << "run the tests under a Western user locale";
  }
};

// Soft hyphen: CompareStringA ignores it.
const std::string kShy = "\xAD";

struct Case {
  std::string a;
  std::string b;
  bool equal;
};

TEST_F(Cp1252, ComparesIgnoringCaseUnderTheUserLocale) {
  const Case cases[] = {
      {"\xC9", "\xE9", true},           // «É» / «é»
      {"\xC9t\xE9", "\xE9T\xC9", true}, // «Été» / «éTÉ»
      {"\x8A", "\x9A", true},           // «Š» / «š»
      {"\x9F", "\xFF", true},           // «Ÿ» / «ÿ»
      {"\xC9", "E", false},             // accents still count
      {"la" + kShy + "bel", "label", true},
      {"stra\xDF"
       "e",
       "strasse", true}, // «straße» / «strasse»: lengths differ
      {"LABEL", "label", true},
      {"label", "label ", false},
      {"argument1", "argument2", false},
      {"", "", true},
      {"", "x", false},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(platform::EqualsIgnoringCase(c.a, c.b), c.equal)
        << c.a << " / " << c.b;
    EXPECT_EQ(platform::EqualsIgnoringCase(c.b, c.a), c.equal)
        << c.b << " / " << c.a;
  }
}

// The system decides which characters it ignores, so the portable
// comparison takes no ASCII shortcut here; names still match as the system
// says, whatever their lengths.
TEST_F(Cp1252, NamesMatchAsTheSystemSays) {
  EXPECT_FALSE(platform::AsciiFoldsPlainly());
  PropertyList list;
  const std::string text = "STRA\xDF"
                           "E=sharp\r\nla" +
                           kShy + "bel=soft";
  list.FromText(text);
  EXPECT_EQ(list.ValueOf("strasse"), "sharp");
  EXPECT_EQ(list.ValueOf("label"), "soft");
  EXPECT_EQ(list.ValueOf("labels"), "");
}

TEST_F(Cp1252, ComparesOnlyTheViewedBytes) {
  const std::string text = "LABELS";
  EXPECT_TRUE(platform::EqualsIgnoringCase(std::string_view(text).substr(0, 5),
                                           "label"));
}

// The name the locale matches is longer than the one asked for; the value
// still starts after the matched line's own '='.
TEST_F(Cp1252, ValueOfSkipsTheSoftHyphenInAName) {
  PropertyList list;
  const std::string text = "la" + kShy + "bel=x\r\nlabel=second";
  list.FromText(text);
  EXPECT_EQ(list.FindName("label"), 0u);
  EXPECT_EQ(list.ValueOf("label"), "x");
  EXPECT_EQ(list.ValueOf("LABEL"), "x");
}

// A run under a chosen user locale (tests/CMakeLists.txt) names the locale
// and its ANSI code page in DIRECTIVE_TEST_USER_LOCALE, as "041f:1254": the
// run proves that the locale the comparisons use is that one.
TEST(UserLocale, IsTheOneTheRunAskedFor) {
  char wanted[32] = {};
  const DWORD length = GetEnvironmentVariableA("DIRECTIVE_TEST_USER_LOCALE",
                                               wanted, sizeof wanted);
  if (length == 0 || length >= sizeof wanted) {
    GTEST_SKIP() << "no user locale asked for";
  }
  unsigned long lcid = 0;
  unsigned codePage = 0;
  ASSERT_EQ(std::sscanf(wanted, "%lx:%u", &lcid, &codePage), 2) << wanted;
  EXPECT_EQ(GetUserDefaultLCID(), lcid);
  char userCodePage[8] = {};
  ASSERT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE,
                           userCodePage, sizeof userCodePage),
            0);
  EXPECT_EQ(std::strtoul(userCodePage, nullptr, 10), codePage);
}

TEST(HostModule, IsTheExecutablesOwnModule) {
  const platform::ModuleHandle module = platform::AcquireHostModule();
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(module, reinterpret_cast<platform::ModuleHandle>(
                        GetModuleHandleA(nullptr)));
  // This executable exports nothing: only exports of the module itself count.
  EXPECT_EQ(platform::FindHostEntryPoint(module, "GetProcAddress"), nullptr);
  EXPECT_EQ(platform::FindHostEntryPoint(module, "RegisterInclusion"), nullptr);
  platform::ReleaseHostModule(module);
}

// Release drops exactly one reference: a module loaded once is gone after it.
TEST(HostModule, ReleaseDropsTheReference) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, static_cast<DWORD>(MAX_PATH));
  std::string dll(path, length);
  dll = dll.substr(0, dll.find_last_of('\\') + 1) + "DirectivePlugin.dll";
  HMODULE loaded = LoadLibraryA(dll.c_str());
  ASSERT_NE(loaded, nullptr) << dll;
  HMODULE again = LoadLibraryA(dll.c_str());
  ASSERT_EQ(again, loaded);

  platform::ReleaseHostModule(again);
  EXPECT_EQ(GetModuleHandleA("DirectivePlugin.dll"), loaded);
  platform::ReleaseHostModule(loaded);
  EXPECT_EQ(GetModuleHandleA("DirectivePlugin.dll"), nullptr);
}

} // namespace
