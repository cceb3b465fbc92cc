// The plug-in's seam to the operating system: the host executable's module
// and locale-aware comparison. Implemented once per platform; everything else
// in the plug-in is portable.
#pragma once

#include "directive_plugin.h"

#include <array>
#include <cstddef>
#include <cstdint>
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

// The names the module itself compares: its property names, the goto action
// and the empty name. Nearly every comparison a callback makes is of one of
// them with another (a parse's start list) or with a host's spelling of one
// that has exactly its bytes (a property text to assemble).
inline constexpr std::array<std::string_view, 8> kOwnNames = {
    "",
    DIRECTIVE_PROPERTY_LABEL,
    DIRECTIVE_PROPERTY_ARGUMENT1,
    DIRECTIVE_PROPERTY_OPERATOR,
    DIRECTIVE_PROPERTY_ARGUMENT2,
    DIRECTIVE_PROPERTY_ACTION,
    DIRECTIVE_PROPERTY_ACTIONVALUE,
    DIRECTIVE_ACTION_GOTO,
};
inline constexpr std::size_t kNotOwnName = kOwnNames.size();

// What EqualsIgnoringCase answers for each pair of own names, asked of the
// user's locale once as the module loads, beside the locale itself, and only
// read afterwards: bit `other` of ownNameMatches[wanted] is
// EqualsIgnoringCase(kOwnNames[other], kOwnNames[wanted]).
namespace detail {
extern std::array<std::uint8_t, kOwnNames.size()> ownNameMatches;
static_assert(kOwnNames.size() <= 8, "one bit per own name");

// Asks `equals`, the layer's own comparison, about every pair; each platform
// layer calls it once, when its locale is ready.
template <typename Equals> void SettleOwnNameMatches(const Equals &equals) {
  for (std::size_t wanted = 0; wanted < kOwnNames.size(); ++wanted) {
    unsigned matches = 0;
    for (std::size_t other = 0; other < kOwnNames.size(); ++other) {
      if (equals(kOwnNames[other], kOwnNames[wanted])) {
        matches |= 1u << other;
      }
    }
    ownNameMatches[wanted] = static_cast<std::uint8_t>(matches);
  }
}
} // namespace detail

// EqualsIgnoringCase(kOwnNames[other], kOwnNames[wanted]), as settled.
inline bool OwnNamesEqual(std::size_t wanted, std::size_t other) {
  return ((detail::ownNameMatches[wanted] >> other) & 1u) != 0;
}

} // namespace platform
