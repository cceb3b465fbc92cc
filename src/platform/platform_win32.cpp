#include "platform.h"

#include <windows.h>

#include <climits>

namespace platform {

namespace {

// Set by DllMain when the process, not a FreeLibrary, detaches the module:
// the module's static destructors run after it, and the host module must not
// be released then.
bool processTerminating = false;

} // namespace

ModuleHandle AcquireHostModule() {
  // With a null name this adds a reference to the module that created the
  // process, with no path buffer that could truncate its name.
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(0, nullptr, &module)) {
    return nullptr;
  }
  return reinterpret_cast<ModuleHandle>(module);
}

void *FindHostEntryPoint(ModuleHandle module, const char *name) {
  if (module == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<void *>(
      GetProcAddress(static_cast<HMODULE>(module), name));
}

void ReleaseHostModule(ModuleHandle module) {
  if (module != nullptr && !processTerminating) {
    FreeLibrary(static_cast<HMODULE>(module));
  }
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() > INT_MAX || b.size() > INT_MAX) {
    return false;
  }
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(),
                        static_cast<int>(a.size()), b.data(),
                        static_cast<int>(b.size())) == CSTR_EQUAL;
}

// CompareStringA ignores some characters, ASCII control characters among
// them, so that strings of different lengths can be equal.
bool detail::asciiFoldsPlainly = false;

std::array<std::uint8_t, kOwnNames.size()> detail::ownNameMatches{};

namespace {

// Asks the locale about the own names as the module loads: every lookup of
// one of them among them is then answered without it.
struct OwnNamesSettled {
  OwnNamesSettled() { detail::SettleOwnNameMatches(EqualsIgnoringCase); }
};
const OwnNamesSettled ownNamesSettled;

} // namespace

} // namespace platform

// Frees the C++ runtime's emergency exception buffer. The DLL carries its own
// copy of the runtime, which allocates that buffer anew with every load.
namespace __gnu_cxx {
void __freeres() noexcept;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_DETACH) {
    platform::processTerminating = reserved != nullptr;
    // A host that loads and unloads the plug-in over and over would
    // otherwise lose the buffer each time; at process exit it does not
    // matter.
    if (!platform::processTerminating) {
      __gnu_cxx::__freeres();
    }
  }
  return TRUE;
}
