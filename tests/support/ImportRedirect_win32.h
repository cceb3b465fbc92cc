// Redirects one function that a loaded module imports from KERNEL32.dll by
// name: the loader wrote the function's address into the module's import
// table, and the module calls through it. For test and measuring hosts that
// watch or count a module's own calls, the module left as built.
#pragma once

#include <windows.h>

#include <cstring>

// Points `module`'s import slot of KERNEL32!`function` at `replacement` and
// returns the address it held, or null when the module does not import it.
inline void *RedirectKernel32Import(HMODULE module, const char *function,
                                    void *replacement) {
  auto *const base = reinterpret_cast<BYTE *>(module);
  const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
  const auto *nt =
      reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY &imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.Size == 0) {
    return nullptr;
  }
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
      if (std::strcmp(reinterpret_cast<const char *>(byName->Name), function) !=
          0) {
        continue;
      }
      void *const original = reinterpret_cast<void *>(addresses->u1.Function);
      DWORD protection = 0;
      VirtualProtect(&addresses->u1.Function, sizeof addresses->u1.Function,
                     PAGE_READWRITE, &protection);
      addresses->u1.Function = reinterpret_cast<DWORD_PTR>(replacement);
      VirtualProtect(&addresses->u1.Function, sizeof addresses->u1.Function,
                     protection, &protection);
      return original;
    }
  }
  return nullptr;
}
