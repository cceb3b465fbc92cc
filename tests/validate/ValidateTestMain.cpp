// The tests' main, and the children the child-process tests run: this same
// program with --child-crash, --child-hang or --child-print.
#include "ValidateTest.h"

#include "platform/ChildProcess.h"
#include "platform/ModuleLoader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

std::string testProgram;

namespace {

int RunChild(const char *mode) {
  if (std::strcmp(mode, "--child-crash") == 0) {
    directive_host::platform::ReportCrashes();
    static const std::string note = "in the test\nthe input";
    directive_host::platform::SetCrashNote(&note);
    __builtin_trap(); // a crash that no sanitizer takes for its own
  } else if (std::strcmp(mode, "--child-hang") == 0) {
    volatile unsigned long spin = 0;
    for (;;) {
      spin = spin + 1;
    }
  }
  std::fputs("printed", stdout);
  return 7;
}

} // namespace

int main(int argc, char **argv) {
  if (argc == 2 && std::strncmp(argv[1], "--child-", 8) == 0) {
    return RunChild(argv[1]);
  }
  testProgram = directive_host::platform::ExecutablePath();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
