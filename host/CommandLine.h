// What the command line asks directive-host to do.
#pragma once

#include "Commands.h"

#include <string>
#include <vector>

namespace directive_host {

struct Invocation {
  std::string command; // empty when only --help or --version was given
  std::vector<std::string> operands;
  std::vector<std::string> plugins; // --plugin paths, in order
  FormatMode formatMode = FormatMode::kPrint;
  bool help = false;
  bool version = false;
};

// Reads the arguments after the program name. Options may come before or
// after the command; "--" ends them. Throws UsageError for a wrong command
// line: no command, an unknown command or option, a missing or extra
// argument, or an option the command does not take.
Invocation ParseCommandLine(const std::vector<std::string> &arguments);

} // namespace directive_host
