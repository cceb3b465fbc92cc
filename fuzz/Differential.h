// What the differential fuzz targets share: the reference's name comparison,
// where an in-place call puts its strings, and the byte-for-byte check.
#pragma once

#include "reference/ReferenceCallbacks.h"
#include "support/InPlaceCall.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The system's comparison without the module's shortcuts: the platform
// layer's EqualsIgnoringCase, which asks the locale every time.
const reference::NameEquals &SystemNameEquals();

// Aborts, printing both results, unless the module's result is the
// reference's.
void RequireSame(const std::string &module, const std::string &reference,
                 const char *what);

// Checks an in-place call against the reference's result.
void RequireSameInPlace(const InPlaceResult &inPlace,
                        const std::string &reference, const char *what);

// Where an in-place call puts a string of `length` bytes, relative to the
// start of out, chosen by `choice`: at its start, a little into it, a little
// before it (out then starts inside the string), or so that the string ends
// at the end of out's capacity.
std::ptrdiff_t InPlaceOffset(std::uint32_t choice, std::size_t length);

// A number drawn from the input's bytes (FNV-1a).
std::uint32_t HashOf(const std::uint8_t *data, std::size_t size);
