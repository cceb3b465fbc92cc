// A host that loads, registers, uses and unloads the plug-in a thousand times
// in one process: every cycle must work, really unload the module, and leave
// the process no larger than before.
#include "hosts/PluginModule.h"

#include "platform/ModuleLoader.h"
#include "platform/ProcessProbe.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr int kWarmUpCycles = 100;
constexpr int kCycles = 1000;

// Growth allowed over kCycles after the warm-up. A leak of even 128 bytes a
// cycle exceeds it; allocator and loader noise stays well below.
constexpr std::size_t kNoiseBytes = 96 * 1024;

const std::string kIfProperties =
    "argument1=x\r\noperator===\r\nargument2=y\r\naction=goto\r\n"
    "actionvalue=done\r\n";

// One cycle: load, AutoRegister, call every registered callback, unload.
void Cycle(int cycle) {
  {
    PluginModule plugin;
    ASSERT_TRUE(plugin.Loaded()) << plugin.Error();
    ASSERT_TRUE(plugin.AutoRegister());
    ASSERT_EQ(Registrations().size(), 3u) << "cycle " << cycle;
    ASSERT_EQ(plugin.Parse("#LABEL", "#LABEL = \"start\""), "label=start");
    ASSERT_EQ(plugin.Assemble("#LABEL", "label=start"), "#LABEL =\"start\"");
    ASSERT_EQ(plugin.Parse("#GOTO", "#GOTO = end"), "label=end");
    ASSERT_EQ(plugin.Assemble("#GOTO", "LABEL=end"), "#GOTO =\"end\"");
    ASSERT_EQ(plugin.Parse("#IF", "#IF \"x\" == \"y\" goto done"),
              kIfProperties);
    ASSERT_EQ(plugin.Assemble("#IF", kIfProperties.c_str()),
              "#IF \"x\" == \"y\" goto done");
  }
  ASSERT_FALSE(directive_host::platform::ModuleIsLoaded(
      directive_host::platform::PluginFileName()))
      << "still loaded after cycle " << cycle;
}

void Cycles(int count) {
  for (int cycle = 0; cycle < count; ++cycle) {
    Cycle(cycle);
    if (::testing::Test::HasFatalFailure()) {
      return;
    }
  }
}

TEST(LoadUnload, ThousandCyclesLeaveTheProcessAsItWas) {
  ASSERT_FALSE(directive_host::platform::ModuleIsLoaded(
      directive_host::platform::PluginFileName()));
  // The first cycles fill the loader's and the allocator's caches.
  Cycles(kWarmUpCycles);
  ASSERT_FALSE(HasFatalFailure());
  const std::size_t before = directive_host::platform::ProcessMemoryBytes();
  Cycles(kCycles);
  ASSERT_FALSE(HasFatalFailure());
  const std::size_t after = directive_host::platform::ProcessMemoryBytes();
  if (before == 0) {
    GTEST_SKIP() << "the system does not report the process's memory";
  }
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "a sanitizer's own bookkeeping grows the process; its "
                  "leak checker takes over";
#endif
  const long long growth =
      static_cast<long long>(after) - static_cast<long long>(before);
  std::printf("memory after the warm-up %zu bytes, %lld more after %d "
              "cycles\n",
              before, growth, kCycles);
  EXPECT_LE(growth, static_cast<long long>(kNoiseBytes));
}

} // namespace
