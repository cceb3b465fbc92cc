// The system's text for a Windows error code, for the loader's messages.
#pragma once

#include <windows.h>

#include <string>

namespace host {

// The message of `code` without its trailing line break, or "error N".
std::string SystemMessage(DWORD code);

} // namespace host
