#include "app/HelpText.h"

#include "app/CommandTable.h"
#include "directive_plugin.h"
#include "plugins/DefaultModule.h"

#include <algorithm>

namespace directive_host {

namespace {

constexpr std::string_view kGeneralHead =
    R"(Usage: directive-host [--plugin PATH]... COMMAND [ARGUMENTS]

Loads directive plug-ins as a host application does, and parses, assembles
and reformats the directives they register ('#' and a keyword, such as
#LABEL, #GOTO and #IF).

Commands:
)";

constexpr std::string_view kExitStatus =
    R"(Exit status: 0 success; 1 format --check or --diff found lines to change,
lint found faults, or a check of validate failed; 2 wrong command line;
3 any other failure (a file, module or keyword).
)";

// Summaries start in this column; a usage that reaches it stands on a line
// of its own.
constexpr std::size_t kSummaryColumn = 29;

// Names in a list longer than this stand on a line of their own.
constexpr std::size_t kLongestInlineName = 16;

// `text` from `column` on, its lines after the first indented to it.
std::string Indented(std::string_view text, std::size_t column) {
  std::string indented;
  for (const char c : text) {
    indented += c;
    if (c == '\n') {
      indented += std::string(column, ' ');
    }
  }
  return indented;
}

// The items as two columns: names from column 2, texts where the longest
// name that fits beside them ends, and two spaces.
std::string ItemList(const std::vector<HelpItem> &items) {
  std::size_t width = 0;
  for (const HelpItem &item : items) {
    if (item.name.size() <= kLongestInlineName) {
      width = std::max(width, item.name.size());
    }
  }
  const std::size_t column = 2 + width + 2;
  std::string list;
  for (const HelpItem &item : items) {
    list += "  " + item.name;
    if (item.name.size() > kLongestInlineName) {
      list += "\n" + std::string(column, ' ');
    } else {
      list += std::string(column - 2 - item.name.size(), ' ');
    }
    list += Indented(item.text, column) + "\n";
  }
  return list;
}

std::vector<HelpItem> OptionItems(std::span<const OptionSpec> options) {
  std::vector<HelpItem> items;
  for (const OptionSpec &option : options) {
    if (option.help.empty()) {
      continue;
    }
    std::string name(option.alias.empty() ? ""
                                          : std::string(option.alias) + ", ");
    name += option.name;
    if (!option.valueName.empty()) {
      name += " " + std::string(option.valueName);
    }
    items.push_back({name, std::string(option.help)});
  }
  return items;
}

std::string UsageOf(const Command &command) {
  std::string usage(command.name);
  if (!command.arguments.empty()) {
    usage += " ";
    usage += command.arguments;
  }
  return usage;
}

std::string CommandList() {
  std::string list;
  for (const Command &command : AllCommands()) {
    const std::string usage = "  " + UsageOf(command);
    list += usage;
    if (usage.size() + 2 > kSummaryColumn) {
      list += "\n" + std::string(kSummaryColumn, ' ');
    } else {
      list += std::string(kSummaryColumn - usage.size(), ' ');
    }
    list += Indented(command.summary, kSummaryColumn) + "\n";
  }
  return list;
}

} // namespace

std::string GeneralHelp() {
  return std::string(kGeneralHead) + CommandList() + "\nOptions:\n" +
         ItemList(OptionItems(GlobalOptions())) +
         "\nThe plug-in module beside the program, or else the one in\n" +
         InstalledPluginFolder() +
         " from its folder, is loaded first. When two modules\n"
         "register the same keyword, the first registration is used.\n\n" +
         std::string(kExitStatus);
}

std::string CommandHelp(std::string_view name) {
  const Command *command = FindCommand(name);
  if (command == nullptr) {
    return GeneralHelp();
  }
  std::string help = "Usage: directive-host " + UsageOf(*command) + "\n\n";
  for (const HelpBlock &block : command->help) {
    help += block.text;
    if (block.options) {
      help += ItemList(OptionItems(command->options));
    }
    if (block.items != nullptr) {
      help += ItemList(block.items());
    }
  }
  return help;
}

std::string VersionText() {
  return std::string("directive-host ") + DIRECTIVE_PLUGIN_VERSION_STRING +
         "\n";
}

} // namespace directive_host
