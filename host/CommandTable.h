// The commands of directive-host in one table: what each is called, what it
// takes, how its help reads and what runs it. The command line, the help
// text and the dispatch are all derived from it.
#pragma once

#include "CommandLine.h"
#include "Registry.h"

#include <cstddef>
#include <span>
#include <string_view>

namespace directive_host {

// An option that only some commands take.
struct OptionSpec {
  std::string_view name;      // long name, e.g. "--in-place"
  std::string_view alias;     // short name, e.g. "-i", or empty
  std::string_view valueName; // the argument's name, e.g. "N"; empty for a flag
  std::string_view group; // options of one non-empty group exclude each other
};

struct Command {
  std::string_view name;
  std::size_t minOperands;
  std::size_t maxOperands;
  std::string_view arguments; // as the usage line shows them
  std::string_view summary;   // for the general help; lines broken by '\n'
  std::string_view help;      // what help COMMAND shows after its usage line
  std::span<const OptionSpec> options;
  // Whether the default module and the --plugin modules are loaded before
  // the command runs; a command that is not given them gets an empty
  // registry.
  bool loadsPlugins;
  // Further checks of the command line than the counts above; throws
  // UsageError. May be null.
  void (*checkUsage)(const Invocation &invocation);
  int (*run)(const Invocation &invocation, const Registry &registry);
};

inline constexpr std::size_t kAnyCount = static_cast<std::size_t>(-1);

std::span<const Command> AllCommands();

// The command named `name`, or null.
const Command *FindCommand(std::string_view name);

// The option spelled `spelling` ("--seed" or "-i") of any command, or null.
const OptionSpec *FindOption(std::string_view spelling);

} // namespace directive_host
