// What the differential fuzz targets share: the reference's name comparison,
// where an in-place call puts its strings, and the byte-for-byte check.
#pragma once

#include "reference/ReferenceCallbacks.h"
#include "validate/InPlaceCall.h"

#include <cstddef>
#include <cstdint>
#include <functional>
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

// A callback of the reference, taking and giving std::string.
using ReferenceParse = std::function<std::string(const std::string &text)>;
using ReferenceAssemble = std::function<std::string(
    const std::string &keyword, const std::string &properties)>;

// One fuzz input for a differential target: the module's `parse` (named
// `name` in messages) and `reference` must give the same bytes for the input,
// called with separate buffers and in place; one input in 64 is also
// stretched across the capacity limit (less often than the other targets,
// since each input costs several calls here).
void FuzzParse(const std::uint8_t *data, std::size_t size, ParseProc parse,
               const ReferenceParse &reference, const char *name);

// The same for an assemble callback; the input is split at its first NUL
// into the keyword and the property text. In place, the property text is in
// out, and sometimes the keyword too.
void FuzzAssemble(const std::uint8_t *data, std::size_t size,
                  AssembleProc assemble, const ReferenceAssemble &reference,
                  const char *name);
