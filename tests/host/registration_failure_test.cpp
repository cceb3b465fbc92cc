// A registration that directive-host cannot record for want of memory: the
// entry point refuses it and throws nothing into the plug-in that called it,
// and the scope says so for the host to report after AutoRegister.
#include "FailingAllocator.h"
#include "LabelCallbacks.h"
#include "plugins/HostEntryPoints.h"

#include <gtest/gtest.h>

#include <string>

extern "C" DirectiveBool DIRECTIVE_CALL RegisterParseAssemblePlugins(
    const char *keyword, ParseProc parse, AssembleProc assemble);

namespace {

using namespace directive_host;

TEST(Registration, OneThatCannotBeRecordedIsRefusedWithoutAThrow) {
  // Longer than a string keeps in place, so that recording it allocates.
  const std::string keyword = "#KEYWORD" + std::string(40, 'K');
  Registry registry;
  const std::string module = "module";
  const RegistrationScope scope(registry, module);
  DirectiveBool accepted = 1;
  {
    const AllocationRecord noMemory(0);
    EXPECT_NO_THROW(accepted = RegisterParseAssemblePlugins(
                        keyword.c_str(), test_callbacks::LabelParse,
                        test_callbacks::LabelAssemble));
    EXPECT_TRUE(noMemory.Seen().refused);
  }
  EXPECT_EQ(accepted, 0);
  EXPECT_TRUE(scope.Failed());
  EXPECT_TRUE(registry.Handlers().empty());
  // With memory back, the next registration is recorded; the failure stays
  // reported.
  EXPECT_EQ(RegisterParseAssemblePlugins("#GOTO", test_callbacks::LabelParse,
                                         test_callbacks::LabelAssemble),
            1);
  EXPECT_EQ(registry.Handlers().size(), 1u);
  EXPECT_TRUE(scope.Failed());
}

} // namespace
