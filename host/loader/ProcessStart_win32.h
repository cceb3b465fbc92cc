// Starting a Windows process: its command line, and the start itself, which
// Wine now and then fails for no reason of the caller's.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace host {

// `program` and `arguments` (ANSI code page) as a command line that the
// runtime's parser splits back into exactly those strings.
std::wstring QuotedCommandLine(const std::string &program,
                               const std::vector<std::string> &arguments);

// Calls `start` (a CreateProcess call) and, while it fails with
// ERROR_INTERNAL_ERROR, which Wine gives now and then with nothing run,
// a few times more. Returns the last result; GetLastError() tells why.
BOOL StartProcessRetrying(const std::function<BOOL()> &start);

} // namespace host
