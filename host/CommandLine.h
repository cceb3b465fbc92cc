// What the command line asks directive-host to do.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace directive_host {

// One option of a command, as given.
struct GivenOption {
  std::string name;     // its long name, e.g. "--in-place" for "-i"
  std::string spelling; // as written, for messages
  std::string value;    // its argument; empty for a flag
};

struct Invocation {
  std::string command; // empty when only --help or --version was given
  std::vector<std::string> operands;
  std::vector<std::string> plugins; // --plugin paths, in order
  std::vector<GivenOption> options; // the command's own options, in order
  bool help = false;
  bool version = false;

  // The last given of the option `name` (its long name), or null.
  const GivenOption *Find(std::string_view name) const;
  bool Has(std::string_view name) const { return Find(name) != nullptr; }
};

// Reads the arguments after the program name. Options may come before or
// after the command; "--" ends them. Throws UsageError for a wrong command
// line: no command, an unknown command or option, a missing or extra
// argument, or an option the command does not take.
Invocation ParseCommandLine(const std::vector<std::string> &arguments);

} // namespace directive_host
