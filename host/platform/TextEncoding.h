// Conversions between the UTF-8 of editors and the system's narrow encoding,
// in which plug-ins take and give text (the ANSI code page on Windows). One
// implementation per platform; elsewhere the narrow encoding is taken to be
// UTF-8 and the text passes unchanged.
#pragma once

#include <string>
#include <string_view>

namespace directive_host::platform {

// `utf8` in the narrow encoding. A character that the encoding lacks becomes
// '?', and `exact` is set false; otherwise it is set true.
std::string NarrowFromUtf8(std::string_view utf8, bool &exact);

// `narrow` in UTF-8.
std::string Utf8FromNarrow(std::string_view narrow);

// The narrow encoding's code page, as Windows numbers them (65001 for
// UTF-8), so that a message can name what a character is missing from.
unsigned NarrowCodePage();

} // namespace directive_host::platform
