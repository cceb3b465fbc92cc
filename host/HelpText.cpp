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
  format [--check | --diff | -i] [FILE...|-]
                             rewrite the directives in scripts to the form
                             their plug-in assembles
  lint [FILE...|-]           report unreadable directives, gotos to labels
                             no #LABEL defines, and labels defined twice
                             or empty
  keywords                   list the registered keywords and their modules
  help [COMMAND]             show this help, or the help of COMMAND

Options:
  --plugin PATH  also load the plug-in module PATH; may be repeated
  -h, --help     show help
  --version      show the version

The plug-in module beside the program, or else the one in
)" DIRECTIVE_HOST_PLUGIN_DIR
    R"( from its folder, is loaded first. When two modules
register the same keyword, the first registration is used.

Exit status: 0 success; 1 format --check or --diff found lines to change,
or lint found faults; 2 wrong command line; 3 any other failure (a file,
module or keyword).
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
    {"format",
     R"(Usage: directive-host format [--check | --diff | -i] [FILE...|-]

In each line whose first non-blank text is a registered keyword, replaces
the directive (the rest of the line) with the one its plug-in assembles from
the directive's properties, keeping the indentation and the line ending.
Every other byte, a UTF-8 byte-order mark at the start included, passes
through unchanged; the first line is read after the mark. A directive whose
rewrite would read differently (parse to other properties), or whose
properties may not fit in the plug-in's result buffer, stays as it is, with
a warning on standard error naming FILE:LINE and the reason.

Reads standard input when no FILE is given. Writes the result to standard
output, unless (the three exclude each other):
  --check        write nothing; list FILE:LINE for each line that would
                 change or cannot be rewritten safely, and exit with 1 when
                 there is any
  --diff         write a unified diff (3 lines of context, headers
                 '--- FILE' and '+++ FILE', '<stdin>' for standard input)
                 for each file that would change, and exit with 1 when any
                 would; 'directive-host format --diff FILE | patch FILE'
                 makes FILE what format prints
  -i, --in-place rewrite the FILEs themselves, through a temporary file
                 flushed to the disk and a rename, so that a failure or a
                 crash leaves each one old or new, never half written
)"},
    {"lint", R"(Usage: directive-host lint [FILE...|-]

Reads scripts as format does (standard input when no FILE is given) and
reports, on standard output, one line FILE:LINE: message for each fault, in
line order:

  a directive the plug-in cannot read: a #LABEL or #GOTO whose parse gives
  no label, an #IF without a first argument, an operator, a second argument
  or an action
      #GOTO verify
          cannot read this #GOTO: its parse gives no properties
      #IF  x = y goto z     (the doubled space empties the first argument)
          #IF lacks its first argument
  a goto to a label that no #LABEL in the same file defines: the label of a
  #GOTO, or the action value of an #IF whose action is goto (in any case);
  labels compare byte for byte, and a near miss in letter case is named
      #GOTO = Verify        (with #LABEL = verify on line 12)
          label 'Verify' is not defined; did you mean 'verify' (line 12)?
  a label defined a second time
      #LABEL = start        (with #LABEL = start on line 1)
          label 'start' is already defined at line 1
  an empty label
      #GOTO = ""
          the label is empty

Only what the plug-ins' parse callbacks return is used, and each check runs
only when its keywords are registered: without #LABEL, gotos are not
checked against definitions, and directives of other keywords are not
checked at all.

Exit status: 0 nothing found; 1 something found; 2 wrong command line;
3 any other failure.
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
  return std::string("directive-host ") + DIRECTIVE_PLUGIN_VERSION_STRING +
         "\n";
}

} // namespace directive_host
