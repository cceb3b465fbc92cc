#include "HelpText.h"

#include "directive_plugin.h"

namespace directive_host {

namespace {

struct CommandHelpText {
  std::string_view command;
  std::string_view text;
};

constexpr std::string_view kGeneral =
    R"(Usage: directive-host [--plugin PATH]... COMMAND [ARGUMENTS]

Loads directive plug-ins as a host application does, and parses, assembles
and reformats the directives they register ('#' and a keyword, such as
#LABEL, #GOTO and #IF).

Commands:
  parse TEXT                 print the properties of the directive TEXT
  assemble KEYWORD [FILE|-]  print the directive KEYWORD assembles from the
                             property text in FILE or standard input
  format [--check | -i] [FILE...|-]
                             rewrite the directives in scripts to the form
                             their plug-in assembles
  keywords                   list the registered keywords and their modules
  help [COMMAND]             show this help, or the help of COMMAND

Options:
  --plugin PATH  also load the plug-in module PATH; may be repeated
  -h, --help     show help
  --version      show the version

The plug-in module beside the program, or else the one in
)" DIRECTIVE_HOST_PLUGIN_DIR R"( from its folder, is loaded first. When two modules
register the same keyword, the first registration is used.

Exit status: 0 success; 1 format --check found lines to change; 2 wrong
command line; 3 any other failure (a file, module or keyword).
)";

constexpr CommandHelpText kCommandTexts[] = {
    {"parse", R"(Usage: directive-host parse TEXT

Finds the keyword TEXT starts with ('#' and the letters after it, in any
case), calls its parse callback with TEXT and prints the property text it
writes, one property per line. A directive the plug-in cannot read prints
nothing.

  directive-host parse '#IF "x" == "y" goto done'
)"},
    {"assemble", R"(Usage: directive-host assemble KEYWORD [FILE|-]

Reads property text (lines name=value, broken by CR, LF or CR LF) from FILE,
or from standard input when FILE is '-' or missing, and prints the directive
that KEYWORD's assemble callback writes for it. KEYWORD matches a registered
keyword in any case; its leading '#' may be left out.

  printf 'label=start\n' | directive-host assemble GOTO
)"},
    {"format", R"(Usage: directive-host format [--check | -i] [FILE...|-]

In each line whose first non-blank text is a registered keyword, replaces
the directive (the rest of the line) with the one its plug-in assembles from
the directive's properties, keeping the indentation and the line ending.
Every other byte passes through unchanged. A directive whose rewrite would
read differently (parse to other properties) stays as it is, with a warning
on standard error naming FILE:LINE and the reason.

Reads standard input when no FILE is given. Writes the result to standard
output, unless:
  --check        write nothing; list FILE:LINE for each line that would
                 change or cannot be rewritten safely, and exit with 1 when
                 there is any
  -i, --in-place rewrite the FILEs themselves (through a temporary file and
                 a rename, so that a failure leaves them as they were)
)"},
    {"keywords", R"(Usage: directive-host keywords

Lists the registered keywords in the order the plug-ins registered them,
each with the module that registered it.
)"},
    {"help", R"(Usage: directive-host help [COMMAND]

Shows the general help, or the help of COMMAND.
)"},
};

} // namespace

std::string GeneralHelp() { return std::string(kGeneral); }

std::string CommandHelp(std::string_view command) {
  for (const CommandHelpText &entry : kCommandTexts) {
    if (entry.command == command) {
      return std::string(entry.text);
    }
  }
  return GeneralHelp();
}

std::string VersionText() {
  return std::string("directive-host ") + DIRECTIVE_PLUGIN_VERSION_STRING + "\n";
}

} // namespace directive_host
