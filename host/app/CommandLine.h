// What the command line asks directive-host to do.
#pragma once

#include "commands/Invocation.h"

#include <string>
#include <vector>

namespace directive_host {

// Reads the arguments after the program name. Options may come before or
// after the command; "--" ends them. Throws UsageError for a wrong command
// line: no command, an unknown command or option, a missing or extra
// argument, or an option the command does not take.
Invocation ParseCommandLine(const std::vector<std::string> &arguments);

} // namespace directive_host
