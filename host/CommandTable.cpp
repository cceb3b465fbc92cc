#include "CommandTable.h"

#include "Commands.h"
#include "Errors.h"
#include "FileIO.h"
#include "HelpText.h"
#include "LspCommand.h"
#include "ValidateCommand.h"

#include <string>

namespace directive_host {

namespace {

constexpr OptionSpec kFormatOptions[] = {
    {"--check", "", "", "mode"},
    {"--diff", "", "", "mode"},
    {"--in-place", "-i", "", "mode"},
};

FormatMode FormatModeOf(const Invocation &invocation) {
  for (auto it = invocation.options.rbegin(); it != invocation.options.rend();
       ++it) {
    if (it->name == "--check") {
      return FormatMode::kCheck;
    }
    if (it->name == "--diff") {
      return FormatMode::kDiff;
    }
    if (it->name == "--in-place") {
      return FormatMode::kInPlace;
    }
  }
  return FormatMode::kPrint;
}

constexpr OptionSpec kValidateOptions[] = {
    {"--json", "", "", ""},
    {"--seed", "", "N", ""},
    {"--iterations", "", "N", ""},
    {"--only", "", "NAME,...", ""},
    {"--in-process", "", "", ""},
    {"--time-limit", "", "SECONDS", ""},
    // How directive-host runs one check in a child process of its own; not
    // in the help.
    {"--run-check", "", "NAME", ""},
};

void CheckFormatUsage(const Invocation &invocation) {
  const GivenOption *inPlace = invocation.Find("--in-place");
  if (inPlace == nullptr) {
    return;
  }
  if (invocation.operands.empty()) {
    throw UsageError("option '" + inPlace->spelling + "' needs FILE arguments");
  }
  for (const std::string &operand : invocation.operands) {
    if (operand == "-") {
      throw UsageError("option '" + inPlace->spelling +
                       "' cannot rewrite standard input");
    }
  }
}

void CheckHelpUsage(const Invocation &invocation) {
  if (!invocation.operands.empty() &&
      FindCommand(invocation.operands[0]) == nullptr) {
    throw UsageError("unknown command '" + invocation.operands[0] + "'");
  }
}

int RunParseCommand(const Invocation &invocation, const Registry &registry) {
  return RunParse(registry, invocation.operands[0]);
}

int RunAssembleCommand(const Invocation &invocation, const Registry &registry) {
  const std::vector<std::string> &operands = invocation.operands;
  return RunAssemble(registry, operands[0],
                     operands.size() > 1 ? operands[1] : "-");
}

int RunFormatCommand(const Invocation &invocation, const Registry &registry) {
  return RunFormat(registry, FormatModeOf(invocation), invocation.operands);
}

int RunLintCommand(const Invocation &invocation, const Registry &registry) {
  return RunLint(registry, invocation.operands);
}

int RunKeywordsCommand(const Invocation &, const Registry &registry) {
  return RunKeywords(registry);
}

int RunHelpCommand(const Invocation &invocation, const Registry &) {
  WriteOutput(invocation.operands.empty()
                  ? GeneralHelp()
                  : CommandHelp(invocation.operands[0]));
  return kExitSuccess;
}

constexpr std::string_view kParseHelp =
    R"(Finds the keyword TEXT starts with ('#' and the letters after it, in any
case), calls its parse callback with TEXT and prints the property text it
writes, one property per line. A directive the plug-in cannot read prints
nothing.

  directive-host parse '#IF "x" == "y" goto done'
)";

constexpr std::string_view kAssembleHelp =
    R"(Reads property text (lines name=value, broken by CR, LF or CR LF) from FILE,
or from standard input when FILE is '-' or missing, and prints the directive
that KEYWORD's assemble callback writes for it. KEYWORD matches a registered
keyword in any case; its leading '#' may be left out.

  printf 'label=start\n' | directive-host assemble GOTO
)";

constexpr std::string_view kFormatHelp =
    R"(In each line whose first non-blank text is a registered keyword, replaces
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
                 crash leaves each one old or new, never half written; the
                 owner, group and mode are kept; a file that is not a
                 regular file, has hard links or changed while format ran
                 is left as it is, with a message and exit status 3

A line ends at LF, CR LF or a lone CR. A file in UTF-16 or UTF-32 is left
as it is, with a message naming the encoding and exit status 3.
)";

constexpr std::string_view kLintHelp =
    R"(Reads scripts as format does (standard input when no FILE is given) and
reports, on standard output, one line FILE:LINE:COLUMN: message for each
fault, in line order; COLUMN is the byte where the directive starts:

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
)";

constexpr std::string_view kLspHelp =
    R"(Runs a language server for directive scripts on standard input and output,
for an editor to start: the Language Server Protocol (3.17), messages framed
by Content-Length. It reads scripts as format and lint do, with the same
plug-ins, loaded once, and offers lint's findings as diagnostics (with a
quick fix for each "did you mean"), formatting of a document or of a range
of lines as format prints it, going from a goto to its #LABEL, the
references of a label, renaming a label, one symbol per label, the
properties of a directive on hover, and label names to complete after
'#GOTO =' and after an #IF's goto. docs/editors.md shows how to set up
editors.

Exit status: 0 after the client's shutdown and exit; 1 when the client
exits, or its input ends, without a shutdown.
)";

constexpr std::string_view kKeywordsHelp =
    R"(Lists the registered keywords in the order the plug-ins registered them,
each with the module that registered it.
)";

constexpr std::string_view kValidateHelp =
    R"(Checks that each plug-in MODULE keeps the promises of directive_plugin.h,
as a plug-in author runs it before shipping. Each MODULE is loaded alone;
with none, the default module is checked. The checks, each in a process of
its own so that a crash or a hang ends only that check:

  exports        AutoRegister is exported, undecorated
  registration   keywords are non-empty, start with '#', hold no whitespace
                 and stay valid; both callbacks are given; a second
                 AutoRegister repeats the first; loading into a host that
                 exports no entry points does not crash
  null-pointers  a null input reads as ""; a null out gets nothing
  capacity       no callback writes past DIRECTIVE_RESULT_CAPACITY bytes
                 (a guard page follows the buffer)
  termination    every result ends with a NUL within the capacity
  determinism    the same call gives the same result, in any order
  in-place       out equal to or overlapping an input gives the same result
  threads        8 threads at once get the single-threaded results
  unload         200 cycles of load, register, call and unload, without
                 growth of memory or handles
  round-trip     reported: how many parse results assemble and parse back
  timing         reported: nanoseconds per call beside strlen+memcpy

The inputs are edge shapes, inputs whose results come near the capacity,
random directives and the module's own parse results, made from a seed that
is printed; the same seed gives the same inputs.

  --json            write one JSON document instead of lines
  --seed N          the seed of the inputs, to repeat a run
  --iterations N    random inputs per keyword and callback (default 100)
  --only NAME,...   run only these checks
  --in-process      run every check in this process, for a debugger
  --time-limit SECONDS
                    end a check that runs longer (default 120)

Exit status: 0 every check passed; 1 a check failed, crashed or timed out;
2 wrong command line; 3 a module cannot be loaded. docs/validate.md says
what each check means and how to reproduce a failure.
)";

constexpr std::string_view kHelpHelp =
    R"(Shows the general help, or the help of COMMAND.
)";

constexpr Command kCommands[] = {
    {"parse",
     1,
     1,
     "TEXT",
     "print the properties of the directive TEXT",
     kParseHelp,
     {},
     true,
     nullptr,
     RunParseCommand},
    {"assemble",
     1,
     2,
     "KEYWORD [FILE|-]",
     "print the directive KEYWORD assembles from the\n"
     "property text in FILE or standard input",
     kAssembleHelp,
     {},
     true,
     nullptr,
     RunAssembleCommand},
    {"format", 0, kAnyCount, "[--check | --diff | -i] [FILE...|-]",
     "rewrite the directives in scripts to the form\n"
     "their plug-in assembles",
     kFormatHelp, kFormatOptions, true, CheckFormatUsage, RunFormatCommand},
    {"lint",
     0,
     kAnyCount,
     "[FILE...|-]",
     "report unreadable directives, gotos to labels\n"
     "no #LABEL defines, and labels defined twice\n"
     "or empty",
     kLintHelp,
     {},
     true,
     nullptr,
     RunLintCommand},
    {"lsp",
     0,
     0,
     "",
     "serve editors as a language server on standard\n"
     "input and output",
     kLspHelp,
     {},
     true,
     nullptr,
     lsp::RunLspCommand},
    {"keywords",
     0,
     0,
     "",
     "list the registered keywords and their modules",
     kKeywordsHelp,
     {},
     true,
     nullptr,
     RunKeywordsCommand},
    {"validate", 0, kAnyCount, "[OPTION...] [MODULE...]",
     "check that plug-in modules keep the promises\n"
     "of the ABI",
     kValidateHelp, kValidateOptions, false, validate::CheckValidateUsage,
     validate::RunValidate},
    {"help",
     0,
     1,
     "[COMMAND]",
     "show this help, or the help of COMMAND",
     kHelpHelp,
     {},
     false,
     CheckHelpUsage,
     RunHelpCommand},
};

} // namespace

std::span<const Command> AllCommands() { return kCommands; }

const Command *FindCommand(std::string_view name) {
  for (const Command &command : kCommands) {
    if (command.name == name) {
      return &command;
    }
  }
  return nullptr;
}

const OptionSpec *FindOption(std::string_view spelling) {
  for (const Command &command : kCommands) {
    for (const OptionSpec &option : command.options) {
      if (option.name == spelling ||
          (!option.alias.empty() && option.alias == spelling)) {
        return &option;
      }
    }
  }
  return nullptr;
}

} // namespace directive_host
