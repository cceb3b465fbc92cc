// When the plug-in DLL lets go of the host module: once when the host unloads
// it, and not at all when the process ends with the DLL still loaded. The
// test redirects the DLL's own import of FreeLibrary to watch its calls.
#include "platform/ModuleLoader.h"

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

// Points the import address table entry of KERNEL32!FreeLibrary in `module`
// at WatchedFreeLibrary. False when the module does not import it.
bool WatchFreeLibrary(HMODULE module) {
  auto *const base = reinterpret_cast<BYTE *>(module);
  const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
  const auto *nt =
      reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY &imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto *dll = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR *>(
           base + imports.VirtualAddress);
       dll->Name != 0; ++dll) {
    if (_stricmp(reinterpret_cast<const char *>(base + dll->Name),
                 "kernel32.dll") != 0) {
      continue;
    }
    const auto *names = reinterpret_cast<const IMAGE_THUNK_DATA *>(
        base + dll->OriginalFirstThunk);
    auto *addresses =
        reinterpret_cast<IMAGE_THUNK_DATA *>(base + dll->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
        continue;
      }
      const auto *byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME *>(
          base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char *>(byName->Name),
                      "FreeLibrary") != 0) {
        continue;
      }
      DWORD protection = 0;
      VirtualProtect(&addresses->u1.Function, sizeof addresses->u1.Function,
                     PAGE_READWRITE, &protection);
      addresses->u1.Function = reinterpret_cast<DWORD_PTR>(&WatchedFreeLibrary);
      VirtualProtect(&addresses->u1.Function, sizeof addresses->u1.Function,
                     protection, &protection);
      return true;
    }
  }
  return false;
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
