// Removing a half-written file when the program is interrupted. One
// implementation per platform: on POSIX SIGINT (Ctrl-C), SIGTERM, SIGHUP and
// SIGQUIT; on Windows Ctrl-C, Ctrl-Break and closing the console window.
// After the file is removed the program ends as the interruption would have
// ended it. Only a kill that cannot be caught (SIGKILL, a forced end of the
// process) leaves the file.
#pragma once

#include <string>

namespace directive_host::platform {

// From now on an interruption removes `path` (one file at a time: it takes
// the place of any other).
void RemoveOnInterrupt(const std::string &path);

// An interruption removes nothing any more.
void ForgetOnInterrupt();

} // namespace directive_host::platform
