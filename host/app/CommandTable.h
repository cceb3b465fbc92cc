// The commands of directive-host in one table: what each is called, what it
// takes, how its help reads and what runs it, and the options every command
// takes. The command line, the help text and the dispatch are all made from
// it.
#pragma once

#include "commands/Invocation.h"
#include "plugins/Registry.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace directive_host {

struct OptionSpec {
  std::string_view name = {};  // long name, e.g. "--in-place"
  std::string_view alias = {}; // short name, e.g. "-i", or empty
  std::string_view valueName =
      {}; // the argument's name, e.g. "N"; empty for a flag
  // What help says of it, lines broken by '\n'; empty keeps it out of the
  // help.
  std::string_view help = {};
  // Options of one non-empty group exclude each other.
  std::string_view group = {};
  // For an option every command takes: what it does to the invocation. A
  // command's own options are handed to it in Invocation::options instead.
  void (*apply)(Invocation &invocation, const std::string &value) = nullptr;
};

// One entry of a list in the help: an option, or a check of validate.
struct HelpItem {
  std::string name;
  std::string text; // lines broken by '\n'
};

// A part of a command's help, shown in order: prose as it stands, the
// command's options with their help, or a list that is made when the help
// is shown (validate's checks).
struct HelpBlock {
  std::string_view text = {};
  bool options = false;
  std::vector<HelpItem> (*items)() = nullptr;
};

inline constexpr std::size_t kAnyCount = static_cast<std::size_t>(-1);

struct Command {
  std::string_view name = {};
  std::string_view arguments = {}; // as the usage line shows them
  std::size_t minOperands = 0;
  std::size_t maxOperands = 0;
  std::string_view summary = {}; // for the general help; lines broken by '\n'
  std::span<const HelpBlock> help =
      {}; // what help COMMAND shows after its usage
  std::span<const OptionSpec> options = {};
  // Whether the default module and the --plugin modules are loaded before
  // the command runs; a command that is not given them gets an empty
  // registry.
  bool loadsPlugins = true;
  // Further checks of the command line than the counts above; throws
  // UsageError. May be null.
  void (*checkUsage)(const Invocation &invocation) = nullptr;
  int (*run)(const Invocation &invocation, const Registry &registry) = nullptr;
};

std::span<const Command> AllCommands();

// The options that every command takes: --plugin, --help, --version.
std::span<const OptionSpec> GlobalOptions();

// The command named `name`, or null.
const Command *FindCommand(std::string_view name);

// The option spelled `spelling` ("--seed" or "-i"), global or of any
// command, or null.
const OptionSpec *FindOption(std::string_view spelling);

} // namespace directive_host
