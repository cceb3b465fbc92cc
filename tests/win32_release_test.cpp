// When the plug-in DLL lets go of the host module: once when the host unloads
// it, and not at all when the process ends with the DLL still loaded. The
// test redirects the DLL's own import of FreeLibrary to watch its calls.
#include "platform/ModuleLoader.h"
#include "support/ImportRedirect_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr UINT kReleasedWhileTerminating = 3;

int hostReleases = 0;
bool terminateOnHostRelease = false;

BOOL WINAPI WatchedFreeLibrary(HMODULE module) {
  if (module == GetModuleHandleA(nullptr)) {
    ++hostReleases;
    if (terminateOnHostRelease) {
      TerminateProcess(GetCurrentProcess(), kReleasedWhileTerminating);
    }
  }
  return FreeLibrary(module);
}

// Points the DLL's import of FreeLibrary at WatchedFreeLibrary. False when
// the module does not import it.
bool WatchFreeLibrary(HMODULE module) {
  return RedirectKernel32Import(
             module, "FreeLibrary",
             reinterpret_cast<void *>(&WatchedFreeLibrary)) != nullptr;
}

std::string PluginPath() {
  const std::string executable = directive_host::platform::ExecutablePath();
  return executable.substr(0, executable.find_last_of('\\') + 1) +
         directive_host::platform::PluginFileName();
}

TEST(HostRelease, UnloadingTheDllReleasesTheHostModuleOnce) {
  for (int cycle = 1; cycle <= 3; ++cycle) {
    std::string error;
    const directive_host::platform::LoadedModuleHandle plugin =
        directive_host::platform::LoadModule(PluginPath(), error);
    ASSERT_NE(plugin, nullptr) << error;
    ASSERT_TRUE(WatchFreeLibrary(static_cast<HMODULE>(plugin)));
    EXPECT_EQ(hostReleases, cycle - 1);
    directive_host::platform::UnloadModule(plugin);
    EXPECT_EQ(hostReleases, cycle);
  }
}

// Loads the DLL and ends the process with it still loaded; the exit code
// tells whether it released the host module on the way out.
int ExitHoldingThePlugin() {
  std::string error;
  const directive_host::platform::LoadedModuleHandle plugin =
      directive_host::platform::LoadModule(PluginPath(), error);
  if (plugin == nullptr || !WatchFreeLibrary(static_cast<HMODULE>(plugin))) {
    return 1;
  }
  terminateOnHostRelease = true;
  ExitProcess(0);
}

} // namespace

int main(int argc, char **argv) {
  if (argc == 2 && std::strcmp(argv[1], "--exit-holding-plugin") == 0) {
    return ExitHoldingThePlugin();
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
