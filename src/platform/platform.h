// The plug-in's seam to the operating system: the host executable's module
// and locale-aware comparison. Implemented once per platform; everything else
// in the plug-in is portable.
#pragma once

#include <string_view>

namespace platform {

// Handle of the host executable's module; null when it could not be had.
using ModuleHandle = void *;

// The module of the host executable, with a reference held until
// ReleaseHostModule.
ModuleHandle AcquireHostModule();

// Address of the entry point `name` that the host executable itself exports,
// or null. Symbols that only a library of the host defines are not found.
void *FindHostEntryPoint(ModuleHandle module, const char *name);

// Drops the reference taken by AcquireHostModule. Null is ignored.
void ReleaseHostModule(ModuleHandle module);

// True when `a` and `b` are equal ignoring case under the user's default
// locale, as the system's own comparison tells, with no shortcut. Safe to
// call from any thread.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// True when, under the user's default locale, every byte below 0x80 at the
// start of a character is that one ASCII character, folds as in the "C"
// locale and is never ignored by EqualsIgnoringCase. Settled as the module
// loads and fixed while it is loaded; read inline, since every lookup of a
// name asks.
namespace detail {
extern bool asciiFoldsPlainly;
}
inline bool AsciiFoldsPlainly() { return detail::asciiFoldsPlainly; }

} // namespace platform
