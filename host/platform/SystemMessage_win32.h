// The system's text for a Windows error code, for the loader's messages.
#pragma once

#include <windows.h>

#include <string>

namespace directive_host::platform {

// The message of `code` without its trailing line break, or "error N".
std::string SystemMessage(DWORD code);

} // namespace directive_host::platform
