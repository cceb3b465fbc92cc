#include "app/Manual.h"

#include "app/CommandTable.h"
#include "app/HelpText.h"
#include "directive_plugin.h"
#include "plugins/DefaultModule.h"
#include "validate/Checks.h"

#include <vector>

namespace directive_host {

namespace {

// `text` safe as roff: backslashes escaped, hyphens as minus signs (so that
// options can be searched for and copied), and no line starting with a
// control character.
std::string Roff(std::string_view text) {
  std::string roff;
  bool lineStart = true;
  for (const char c : text) {
    if (lineStart && (c == '.' || c == '\'')) {
      roff += "\\&";
    }
    if (c == '\\') {
      roff += "\\e";
    } else if (c == '-') {
      roff += "\\-";
    } else {
      roff += c;
    }
    lineStart = c == '\n';
  }
  return roff;
}

// The first line of a help text, as a one-line description.
std::string FirstLine(std::string_view text) {
  return std::string(text.substr(0, text.find('\n')));
}

// `text` between single quotes for a shell: a quote inside as '\''.
std::string ShellQuoted(std::string_view text) {
  std::string quoted = "'";
  for (const char c : text) {
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return quoted + "'";
}

std::string Joined(const std::vector<std::string> &words) {
  std::string joined;
  for (const std::string &word : words) {
    joined += (joined.empty() ? "" : " ") + word;
  }
  return joined;
}

std::vector<std::string> CommandNames() {
  std::vector<std::string> names;
  for (const Command &command : AllCommands()) {
    names.emplace_back(command.name);
  }
  return names;
}

std::vector<std::string> ShellNames() {
  return {std::begin(kCompletionShells), std::end(kCompletionShells)};
}

std::vector<std::string> CheckNames() {
  std::vector<std::string> names;
  for (const validate::CheckSpec &check : validate::AllChecks()) {
    names.emplace_back(check.name);
  }
  return names;
}

// Every spelling of the options, the global ones and `command`'s, that help
// shows.
std::vector<std::string> Spellings(const Command *command, bool valued) {
  std::vector<std::string> spellings;
  const auto add = [&](std::span<const OptionSpec> options) {
    for (const OptionSpec &option : options) {
      if (option.help.empty() || option.valueName.empty() != !valued) {
        continue;
      }
      spellings.emplace_back(option.name);
      if (!option.alias.empty()) {
        spellings.emplace_back(option.alias);
      }
    }
  };
  add(GlobalOptions());
  if (command != nullptr) {
    add(command->options);
  }
  return spellings;
}

// Options that take a value, of every command: the word after one is no
// command.
std::vector<std::string> AllValuedOptions() {
  std::vector<std::string> spellings = Spellings(nullptr, true);
  for (const Command &command : AllCommands()) {
    for (const OptionSpec &option : command.options) {
      if (!option.valueName.empty()) {
        spellings.emplace_back(option.name);
      }
    }
  }
  return spellings;
}

// Whether the completions offer words of their own after the option
// `spelling`: files for --plugin, checks for --only, shells for
// --completion.
bool HasValueWords(std::string_view spelling) {
  return spelling == "--plugin" || spelling == "--only" ||
         spelling == "--completion";
}

// Whether the operands of `command` name files.
bool TakesFiles(const Command &command) {
  return command.arguments.find("FILE") != std::string_view::npos ||
         command.arguments.find("MODULE") != std::string_view::npos;
}

std::string BashCompletion() {
  std::string commandCases;
  for (const Command &command : AllCommands()) {
    commandCases +=
        "    " + std::string(command.name) + ") options+=" +
        ShellQuoted(" " + Joined(Spellings(&command, false)) + " " +
                    Joined(Spellings(&command, true))) +
        (command.name == "help" ? "; words=$commands"
                                : (TakesFiles(command) ? "; files=1" : "")) +
        " ;;\n";
  }
  return "# bash completion for directive-host, made from its command "
         "table.\n"
         "_directive_host() {\n"
         "  local cur=${COMP_WORDS[COMP_CWORD]} "
         "prev=${COMP_WORDS[COMP_CWORD-1]}\n"
         "  local commands=" +
         ShellQuoted(Joined(CommandNames())) +
         "\n"
         "  local command= options= words= files= i\n"
         "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
         "    case \" " +
         Joined(AllValuedOptions()) +
         " \" in *\" ${COMP_WORDS[i]} \"*) ((i++)); continue ;; esac\n"
         "    [[ ${COMP_WORDS[i]} == -* ]] && continue\n"
         "    command=${COMP_WORDS[i]}\n"
         "    break\n"
         "  done\n"
         "  case $prev in\n"
         "    --plugin) COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n"
         "    --only) COMPREPLY=($(compgen -W " +
         ShellQuoted(Joined(CheckNames())) +
         " -- \"$cur\")); return ;;\n"
         "    --completion) COMPREPLY=($(compgen -W " +
         ShellQuoted(Joined(ShellNames())) +
         " -- \"$cur\")); return ;;\n"
         "    " +
         [] {
           std::string valued;
           for (const std::string &spelling : AllValuedOptions()) {
             if (!HasValueWords(spelling)) {
               valued += (valued.empty() ? "" : "|") + spelling;
             }
           }
           return valued;
         }() +
         ") COMPREPLY=(); return ;;\n"
         "  esac\n"
         "  case $command in\n"
         "    '') options=" +
         ShellQuoted(Joined(Spellings(nullptr, false)) + " " +
                     Joined(Spellings(nullptr, true))) +
         "; words=$commands ;;\n" + commandCases +
         "  esac\n"
         "  if [[ $cur == -* ]]; then\n"
         "    COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
         "  elif [[ -n $words ]]; then\n"
         "    COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n"
         "  elif [[ -n $files ]]; then\n"
         "    COMPREPLY=($(compgen -f -- \"$cur\"))\n"
         "  fi\n"
         "}\n"
         "complete -o filenames -F _directive_host directive-host\n";
}

std::string ZshCompletion() {
  std::string described;
  for (const Command &command : AllCommands()) {
    described += "    " +
                 ShellQuoted(std::string(command.name) + ":" +
                             FirstLine(command.summary)) +
                 "\n";
  }
  std::string commandCases;
  for (const Command &command : AllCommands()) {
    commandCases += "    " + std::string(command.name) + ") options+=(" +
                    Joined(Spellings(&command, false)) + " " +
                    Joined(Spellings(&command, true)) + ")" +
                    (TakesFiles(command) ? "; files=1" : "") + " ;;\n";
  }
  std::string valued;
  for (const std::string &spelling : AllValuedOptions()) {
    if (!HasValueWords(spelling)) {
      valued += (valued.empty() ? "" : "|") + spelling;
    }
  }
  return "#compdef directive-host\n"
         "# zsh completion for directive-host, made from its command table.\n"
         "_directive-host() {\n"
         "  local -a commands options\n"
         "  commands=(\n" +
         described +
         "  )\n"
         "  local command= files= i\n"
         "  for ((i = 2; i < CURRENT; i++)); do\n"
         "    case \" " +
         Joined(AllValuedOptions()) +
         " \" in *\" ${words[i]} \"*) ((i++)); continue ;; esac\n"
         "    [[ ${words[i]} == -* ]] && continue\n"
         "    command=${words[i]}\n"
         "    break\n"
         "  done\n"
         "  case ${words[CURRENT-1]} in\n"
         "    --plugin) _files; return ;;\n"
         "    --only) compadd -- " +
         Joined(CheckNames()) +
         "; return ;;\n"
         "    --completion) compadd -- " +
         Joined(ShellNames()) +
         "; return ;;\n"
         "    " +
         valued +
         ") return ;;\n"
         "  esac\n"
         "  options=(" +
         Joined(Spellings(nullptr, false)) + " " +
         Joined(Spellings(nullptr, true)) +
         ")\n"
         "  case $command in\n" +
         commandCases +
         "  esac\n"
         "  if [[ ${words[CURRENT]} == -* ]]; then\n"
         "    compadd -- $options\n"
         "  elif [[ -z $command || $command == help ]]; then\n"
         "    _describe command commands\n"
         "  elif [[ -n $files ]]; then\n"
         "    _files\n"
         "  fi\n"
         "}\n"
         "_directive-host \"$@\"\n";
}

std::string FishOption(const OptionSpec &option, const std::string &when) {
  std::string line = "complete -c directive-host" + when;
  const std::string_view name = option.name.substr(2);
  line += " -l " + std::string(name);
  if (!option.alias.empty()) {
    line += " -s " + std::string(option.alias.substr(1));
  }
  if (!option.valueName.empty()) {
    line += option.name == "--plugin" ? " -r -F" : " -x";
  }
  if (option.name == "--only") {
    line += " -a " + ShellQuoted(Joined(CheckNames()));
  } else if (option.name == "--completion") {
    line += " -a " + ShellQuoted(Joined(ShellNames()));
  }
  return line + " -d " + ShellQuoted(FirstLine(option.help)) + "\n";
}

std::string FishCompletion() {
  const std::string commands = Joined(CommandNames());
  std::string script = "# fish completion for directive-host, made from its "
                       "command table.\ncomplete -c directive-host -f\n";
  for (const Command &command : AllCommands()) {
    script += "complete -c directive-host -n __fish_use_subcommand -a " +
              std::string(command.name) + " -d " +
              ShellQuoted(FirstLine(command.summary)) + "\n";
  }
  for (const OptionSpec &option : GlobalOptions()) {
    script += FishOption(option, "");
  }
  for (const Command &command : AllCommands()) {
    const std::string when =
        " -n " +
        ShellQuoted("__fish_seen_subcommand_from " + std::string(command.name));
    for (const OptionSpec &option : command.options) {
      if (!option.help.empty()) {
        script += FishOption(option, when);
      }
    }
    if (TakesFiles(command)) {
      script += "complete -c directive-host" + when + " -F\n";
    }
  }
  return script +
         "complete -c directive-host -n '__fish_seen_subcommand_from help' "
         "-a " +
         ShellQuoted(commands) + "\n";
}

} // namespace

std::string ManualPage() {
  std::string page =
      ".TH DIRECTIVE-HOST 1 \"\" \"directive-host " +
      std::string(DIRECTIVE_PLUGIN_VERSION_STRING) +
      "\" \"User Commands\"\n"
      ".SH NAME\n"
      "directive-host \\- host, formatter, linter, validator and language "
      "server for directive plug-ins\n"
      ".SH SYNOPSIS\n"
      ".B directive-host\n"
      "[\\fB\\-\\-plugin\\fR \\fIPATH\\fR]... \\fICOMMAND\\fR "
      "[\\fIARGUMENTS\\fR]\n"
      ".SH DESCRIPTION\n"
      "Loads directive plug-ins as a host application does, and parses, "
      "assembles, reformats and checks the directives they register, "
      "validates plug-in modules and serves editors as a language server.\n"
      ".SH COMMANDS\n";
  for (const Command &command : AllCommands()) {
    page += ".SS " + Roff(std::string(command.name)) +
            (command.arguments.empty()
                 ? std::string()
                 : " " + Roff(std::string(command.arguments))) +
            "\n.in 4\n.nf\n";
    // The help after its usage line, kept as the program prints it: its
    // lines are short enough for 80 columns at this indentation.
    const std::string help = CommandHelp(command.name);
    page += Roff(help.substr(help.find("\n\n") + 2)) + ".fi\n.in\n";
  }
  page += ".SH OPTIONS\n";
  for (const OptionSpec &option : GlobalOptions()) {
    page += ".TP\n\\fB" + Roff(std::string(option.name)) + "\\fR" +
            (option.valueName.empty()
                 ? std::string()
                 : " \\fI" + Roff(std::string(option.valueName)) + "\\fR") +
            (option.alias.empty()
                 ? std::string()
                 : ", \\fB" + Roff(std::string(option.alias)) + "\\fR") +
            "\n" + Roff(std::string(option.help)) + "\n";
  }
  page += ".SH EXIT STATUS\n"
          "0 success; 1 format \\-\\-check or \\-\\-diff found lines to "
          "change, lint found faults, or a check of validate failed; 2 wrong "
          "command line; 3 any other failure (a file, module or keyword).\n"
          ".SH FILES\n"
          ".TP\n" +
          Roff(std::string(InstalledPluginFolder())) +
          "/DirectivePlugin.so\n"
          "The default plug-in module, relative to the folder of the "
          "program; one beside the program is loaded instead when there is "
          "one.\n"
          ".SH SEE ALSO\n"
          "The header directive_plugin.h (the ABI); README.md and "
          "editors.md (setting up editors for the language server) in " +
          Roff(DIRECTIVE_DOC_DIR) + " of the installation.\n";
  return page;
}

std::optional<std::string> CompletionScript(std::string_view shell) {
  if (shell == "bash") {
    return BashCompletion();
  }
  if (shell == "zsh") {
    return ZshCompletion();
  }
  if (shell == "fish") {
    return FishCompletion();
  }
  return std::nullopt;
}

} // namespace directive_host
