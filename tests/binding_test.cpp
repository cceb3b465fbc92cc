// The host binding, linked into a test host that exports all six entry
// points: every one must be bound to the executable's own function.
#include "CommonPlugin.h"

#include <gtest/gtest.h>

extern "C" {
DirectiveBool DIRECTIVE_CALL RegisterParseAssemblePlugins(const char *,
                                                          ParseProc,
                                                          AssembleProc);
void DIRECTIVE_CALL RegisterEditPlugin(void);
void DIRECTIVE_CALL RegisterValidatePlugin(void);
void DIRECTIVE_CALL RegisterTypeEditPlugin(void);
void DIRECTIVE_CALL RegisterTypeValidatePlugin(void);
void DIRECTIVE_CALL RegisterInclusion(void);
}

TEST(HostBinding, BindsAllSixEntryPointsOfTheExecutable) {
  const HostEntryPoints &host = BoundHostEntryPoints();
  EXPECT_NE(host.HostModule, nullptr);
  EXPECT_EQ(host.RegisterEditPlugin, &RegisterEditPlugin);
  EXPECT_EQ(host.RegisterValidatePlugin, &RegisterValidatePlugin);
  EXPECT_EQ(host.RegisterTypeEditPlugin, &RegisterTypeEditPlugin);
  EXPECT_EQ(host.RegisterTypeValidatePlugin, &RegisterTypeValidatePlugin);
  EXPECT_EQ(host.RegisterInclusion, &RegisterInclusion);
  EXPECT_EQ(host.RegisterParseAssemblePlugins, &RegisterParseAssemblePlugins);
}

TEST(HostBinding, FindsNothingTheExecutableDoesNotExport) {
  const HostEntryPoints &host = BoundHostEntryPoints();
  EXPECT_EQ(platform::FindHostEntryPoint(host.HostModule, "NoSuchEntryPoint"),
            nullptr);
  EXPECT_EQ(platform::FindHostEntryPoint(nullptr, "RegisterInclusion"),
            nullptr);
}
