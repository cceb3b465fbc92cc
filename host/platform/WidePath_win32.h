// Conversions between the ANSI code page, in which directive-host takes and
// prints paths, and the wide strings of the system's file calls.
#pragma once

#include <string>

namespace directive_host::platform {

// `text` (ANSI code page) as a wide string.
std::wstring WideText(const std::string &text);

// `text` in the ANSI code page; a character it lacks becomes '?'.
std::string AnsiText(const std::wstring &text);

// `path` (ANSI code page) as a wide path that the file calls accept at any
// length: the ANSI entry points stop at MAX_PATH, and a longer path needs
// the \\?\ prefix, behind which it must be absolute and hold only '\'
// separators, so a long path is made so first.
std::wstring WidePath(const std::string &path);

} // namespace directive_host::platform
