#include "HelpText.h"

#include "CommandTable.h"
#include "directive_plugin.h"

namespace directive_host {

namespace {

constexpr std::string_view kGeneralHead =
    R"(Usage: directive-host [--plugin PATH]... COMMAND [ARGUMENTS]

Loads directive plug-ins as a host application does, and parses, assembles
and reformats the directives they register ('#' and a keyword, such as
#LABEL, #GOTO and #IF).

Commands:
)";

constexpr std::string_view kGeneralTail =
    R"(
Options:
  --plugin PATH  also load the plug-in module PATH; may be repeated
  -h, --help     show help
  --version      show the version

The plug-in module beside the program, or else the one in
)" DIRECTIVE_HOST_PLUGIN_DIR
    R"( from its folder, is loaded first. When two modules
register the same keyword, the first registration is used.

Exit status: 0 success; 1 format --check or --diff found lines to change,
lint found faults, or a check of validate failed; 2 wrong command line;
3 any other failure (a file, module or keyword).
)";

// Summaries start in this column; a usage that reaches it stands on a line
// of its own.
constexpr std::size_t kSummaryColumn = 29;

std::string UsageOf(const Command &command) {
  std::string usage(command.name);
  if (!command.arguments.empty()) {
    usage += " ";
    usage += command.arguments;
  }
  return usage;
}

std::string CommandList() {
  const std::string margin(kSummaryColumn, ' ');
  std::string list;
  for (const Command &command : AllCommands()) {
    const std::string usage = "  " + UsageOf(command);
    list += usage;
    if (usage.size() + 2 > kSummaryColumn) {
      list += "\n" + margin;
    } else {
      list += std::string(kSummaryColumn - usage.size(), ' ');
    }
    for (const char c : command.summary) {
      list += c;
      if (c == '\n') {
        list += margin;
      }
    }
    list += "\n";
  }
  return list;
}

} // namespace

std::string GeneralHelp() {
  return std::string(kGeneralHead) + CommandList() + std::string(kGeneralTail);
}

std::string CommandHelp(std::string_view name) {
  const Command *command = FindCommand(name);
  if (command == nullptr) {
    return GeneralHelp();
  }
  return "Usage: directive-host " + UsageOf(*command) + "\n\n" +
         std::string(command->help);
}

std::string VersionText() {
  return std::string("directive-host ") + DIRECTIVE_PLUGIN_VERSION_STRING +
         "\n";
}

} // namespace directive_host
