// What the command line asks a command to do, as app/CommandLine.h reads it.
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

} // namespace directive_host
