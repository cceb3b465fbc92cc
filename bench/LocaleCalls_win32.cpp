#include "LocaleCalls.h"

#include <windows.h>

#include <cstring>

namespace {

using CompareStringAProc = int(WINAPI *)(LCID, DWORD, LPCSTR, int, LPCSTR, int);

CompareStringAProc compareStringA = nullptr;
unsigned long counted = 0;

int WINAPI CountedCompareStringA(LCID locale, DWORD flags, LPCSTR a,
                                 int aLength, LPCSTR b, int bLength) {
  ++counted;
  return compareStringA(locale, flags, a, aLength, b, bLength);
}

// Points the import slot at `replacement`; false where its page cannot be
// made writable.
template <typename Slot> bool Redirect(Slot &slot, Slot replacement) {
  DWORD protection = 0;
  if (!VirtualProtect(&slot, sizeof slot, PAGE_READWRITE, &protection)) {
    return false;
  }
  slot = replacement;
  return VirtualProtect(&slot, sizeof slot, protection, &protection) != 0;
}

} // namespace

// Walks the module's import table, where the loader wrote the address of
// each function the module imports, and replaces that of CompareStringA.
bool bench::CountLocaleCalls(void *module) {
  auto *const base = static_cast<BYTE *>(module);
  const auto *const dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
  const auto *const nt =
      reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY &imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.Size == 0) {
    return false;
  }
  bool found = false;
  for (auto *library = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR *>(
           base + imports.VirtualAddress);
       library->Name != 0; ++library) {
    const DWORD namesAt = library->OriginalFirstThunk != 0
                              ? library->OriginalFirstThunk
                              : library->FirstThunk;
    const auto *names =
        reinterpret_cast<const IMAGE_THUNK_DATA *>(base + namesAt);
    auto *slots =
        reinterpret_cast<IMAGE_THUNK_DATA *>(base + library->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
        continue;
      }
      const auto *named = reinterpret_cast<const IMAGE_IMPORT_BY_NAME *>(
          base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char *>(named->Name),
                      "CompareStringA") != 0) {
        continue;
      }
      compareStringA = reinterpret_cast<CompareStringAProc>(slots->u1.Function);
      found = Redirect(slots->u1.Function,
                       reinterpret_cast<decltype(slots->u1.Function)>(
                           &CountedCompareStringA)) ||
              found;
    }
  }
  counted = 0;
  return found;
}

unsigned long bench::LocaleCallsCounted() { return counted; }
