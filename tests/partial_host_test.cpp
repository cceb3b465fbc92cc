// Hosts that export fewer entry points than the plug-in looks for. Built
// three times: exporting only RegisterParseAssemblePlugins (registration
// still works), exporting none, and with the entry point exported by a
// shared library rather than the executable (nothing may be bound from it).
#include "hosts/PluginModule.h"

#include <gtest/gtest.h>

#ifdef LIBRARY_EXPORTS_ENTRY_POINT
extern "C" int LibraryRegistrationCalls(void);
#endif

TEST(PartialHost, RegistersOnlyThroughTheExecutablesOwnEntryPoint) {
  for (int cycle = 0; cycle < 20; ++cycle) {
    PluginModule plugin;
    ASSERT_TRUE(plugin.Loaded()) << plugin.Error();
    ASSERT_TRUE(plugin.AutoRegister());
    ASSERT_TRUE(plugin.AutoRegister());
#if EXECUTABLE_EXPORTS_REGISTER
    ASSERT_EQ(Registrations().size(), 6u);
    EXPECT_EQ(Registrations()[2].keyword, "#IF");
    EXPECT_EQ(plugin.Assemble("#LABEL", "label=start"), "#LABEL =\"start\"");
#else
    EXPECT_TRUE(Registrations().empty());
#endif
  }
#ifdef LIBRARY_EXPORTS_ENTRY_POINT
  EXPECT_EQ(LibraryRegistrationCalls(), 0);
#endif
}
