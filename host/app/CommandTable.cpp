#include "app/CommandTable.h"

#include "app/HelpText.h"
#include "app/Manual.h"
#include "commands/Commands.h"
#include "commands/LspCommand.h"
#include "commands/ValidateCommand.h"
#include "io/Errors.h"
#include "io/Output.h"
#include "io/Wording.h"
#include "validate/Checks.h"

#include <string>

#include <algorithm>
#include <iterator>

namespace directive_host {

namespace {

void CheckHelpUsage(const Invocation &invocation) {
  if (!invocation.operands.empty() &&
      FindCommand(invocation.operands[0]) == nullptr) {
    throw UsageError("unknown command '" + invocation.operands[0] + "'");
  }
  const GivenOption *completion = invocation.Find("--completion");
  const GivenOption *whole =
      completion != nullptr ? completion : invocation.Find("--man");
  if (whole != nullptr && !invocation.operands.empty()) {
    throw UsageError("option '" + whole->spelling +
                     "' is about the whole program, not a COMMAND");
  }
  if (completion != nullptr && !CompletionScript(completion->value)) {
    std::vector<std::string_view> shells(std::begin(kCompletionShells),
                                         std::end(kCompletionShells));
    throw UsageError("no completion for the shell '" + completion->value +
                     "'; the shells are " + Enumerate(shells));
  }
}

int RunHelpCommand(const Invocation &invocation, const Registry &) {
  if (const GivenOption *completion = invocation.Find("--completion")) {
    WriteOutput(*CompletionScript(completion->value));
  } else if (invocation.Has("--man")) {
    WriteOutput(ManualPage());
  } else {
    WriteOutput(invocation.operands.empty()
                    ? GeneralHelp()
                    : CommandHelp(invocation.operands[0]));
  }
  return kExitSuccess;
}

std::vector<HelpItem> ValidateChecks() {
  std::vector<HelpItem> items;
  for (const validate::CheckSpec &check : validate::AllChecks()) {
    items.push_back({std::string(check.name), std::string(check.description)});
  }
  return items;
}

constexpr OptionSpec kGlobalOptions[] = {
    {.name = "--plugin",
     .valueName = "PATH",
     .help = "also load the plug-in module PATH; may be repeated",
     .apply =
         [](Invocation &invocation, const std::string &path) {
           invocation.plugins.push_back(path);
         }},
    {.name = "--help",
     .alias = "-h",
     .help = "show help",
     .apply = [](Invocation &invocation,
                 const std::string &) { invocation.help = true; }},
    {.name = "--version",
     .help = "show the version",
     .apply = [](Invocation &invocation,
                 const std::string &) { invocation.version = true; }},
};

constexpr HelpBlock kParseHelp[] = {
    {.text =
         R"(Finds the keyword TEXT starts with ('#' and the letters after it, in any
case), calls its parse callback with TEXT and prints the property text it
writes, one property per line. A directive the plug-in cannot read prints
nothing.

  directive-host parse '#IF "x" == "y" goto done'
)"}};

constexpr HelpBlock kAssembleHelp[] = {
    {.text =
         R"(Reads property text (lines name=value, broken by CR, LF or CR LF) from FILE,
or from standard input when FILE is '-' or missing, and prints the directive
that KEYWORD's assemble callback writes for it. KEYWORD matches a registered
keyword in any case; its leading '#' may be left out.

  printf 'label=start\n' | directive-host assemble GOTO
)"}};

constexpr OptionSpec kFormatOptions[] = {
    {.name = "--check",
     .help = "write nothing; list FILE:LINE for each line that would\n"
             "change or cannot be rewritten safely, and exit with 1 when\n"
             "there is any",
     .group = "mode"},
    {.name = "--diff",
     .help = "write a unified diff (3 lines of context, headers\n"
             "'--- FILE' and '+++ FILE', '<stdin>' for standard input)\n"
             "for each file that would change, and exit with 1 when any\n"
             "would; 'directive-host format --diff FILE | patch FILE'\n"
             "makes FILE what format prints",
     .group = "mode"},
    {.name = "--in-place",
     .alias = "-i",
     .help = "rewrite the FILEs themselves, through a temporary file\n"
             "flushed to the disk and a rename, so that a failure or a\n"
             "crash leaves each one old or new, never half written; the\n"
             "owner, group and mode are kept; a file that is not a\n"
             "regular file, has hard links or changed while format ran\n"
             "is left as it is, with a message and exit status 3",
     .group = "mode"},
};

constexpr HelpBlock kFormatHelp[] = {
    {.text =
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
)"},
    {.options = true},
    {.text = R"(
A line ends at LF, CR LF or a lone CR. A file in UTF-16 or UTF-32 is left
as it is, with a message naming the encoding and exit status 3.
)"},
};

constexpr HelpBlock kLintHelp[] = {
    {.text =
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
  labels compare byte for byte, and the nearest defined label is named: one
  that differs in letter case only, else one at most two edits away
      #GOTO = Verify        (with #LABEL = verify on line 12)
          label 'Verify' is not defined; did you mean 'verify' (line 12)?
      #GOTO = finsh         (with #LABEL = finish on line 30)
          label 'finsh' is not defined; did you mean 'finish' (line 30)?
  a label defined a second time
      #LABEL = start        (with #LABEL = start on line 1)
          label 'start' is already defined at line 1
  an empty label
      #GOTO = ""
          the label is empty

and then, as FILE:LINE:COLUMN: note: message, each label that no goto
names (when #GOTO or #IF is registered):
      #LABEL = cleanup      (and no goto to it)
          note: nothing goes to label 'cleanup'

Only what the plug-ins' parse callbacks return is used, and each check runs
only when its keywords are registered: without #LABEL, gotos are not
checked against definitions, and directives of other keywords are not
checked at all.

Exit status: 0 nothing found but notes; 1 a fault found; 2 wrong command
line; 3 any other failure.
)"}};

constexpr HelpBlock kLspHelp[] = {
    {.text =
         R"(Runs a language server for directive scripts on standard input and output,
for an editor to start: the Language Server Protocol (3.17), messages framed
by Content-Length. It reads scripts as format and lint do, with the same
plug-ins, loaded once, and offers lint's findings as diagnostics (with a
quick fix for each "did you mean"), formatting of a document or of a range
of lines as format prints it, going from a goto to its #LABEL, the
references of a label, renaming a label, one symbol per label, the
properties of a directive on hover, and label names to complete after
'#GOTO =' and after an #IF's goto. How to set up editors (Neovim, Helix,
Emacs, VS Code) is in )" DIRECTIVE_DOC_DIR R"(/editors.md under the
installation's prefix; changes are worked out once the client has sent all
it queued, and a frame past the limits (a header line of 64 KiB, a body of
64 MiB) is dropped and logged.

Exit status: 0 after the client's shutdown and exit; 1 when the client
exits, or its input ends, without a shutdown.
)"}};

constexpr HelpBlock kKeywordsHelp[] = {
    {.text =
         R"(Lists the registered keywords in the order the plug-ins registered them,
each with the module that registered it.
)"}};

constexpr OptionSpec kValidateOptions[] = {
    {.name = "--json", .help = "write one JSON document instead of lines"},
    {.name = "--seed",
     .valueName = "N",
     .help = "the seed of the inputs, to repeat a run"},
    {.name = "--iterations",
     .valueName = "N",
     .help = "random inputs per keyword and callback (default 100)"},
    {.name = "--only",
     .valueName = "NAME,...",
     .help = "run only these checks"},
    {.name = "--in-process",
     .help = "run every check in this process, for a debugger"},
    {.name = "--time-limit",
     .valueName = "SECONDS",
     .help = "end a check that runs longer (default 120)"},
    {.name = "--call-limit",
     .valueName = "SECONDS",
     .help = "end a check at a call that takes longer (default 3)"},
    // How directive-host runs one check in a child process of its own; not
    // in the help.
    {.name = "--run-check", .valueName = "NAME"},
};

constexpr HelpBlock kValidateHelp[] = {
    {.text =
         R"(Checks that each plug-in MODULE keeps the promises of directive_plugin.h,
as a plug-in author runs it before shipping. Each MODULE is loaded alone;
with none, the default module is checked. The checks, each in a process of
its own so that a crash or a hang ends only that check:

)"},
    {.items = ValidateChecks},
    {.text = R"(
The inputs are edge shapes, inputs whose results come near the capacity,
random directives and the module's own parse results, made from a seed that
is printed; the same seed gives the same inputs.

)"},
    {.options = true},
    {.text = R"(
Exit status: 0 every check passed; 1 a check failed, crashed or timed out;
2 wrong command line; 3 a module cannot be loaded. docs/validate.md says
what each check means and how to reproduce a failure.
)"},
};

constexpr OptionSpec kHelpOptions[] = {
    {.name = "--man",
     .help = "write the manual page directive-host(1), in roff",
     .group = "whole"},
    {.name = "--completion",
     .valueName = "SHELL",
     .help = "write the completion script of SHELL: bash, zsh or fish",
     .group = "whole"},
};

constexpr HelpBlock kHelpHelp[] = {
    {.text = R"(Shows the general help, or the help of COMMAND, or instead
(the two exclude each other):
)"},
    {.options = true},
};

constexpr Command kCommands[] = {
    {.name = "parse",
     .arguments = "TEXT",
     .minOperands = 1,
     .maxOperands = 1,
     .summary = "print the properties of the directive TEXT",
     .help = kParseHelp,
     .run = RunParse},
    {.name = "assemble",
     .arguments = "KEYWORD [FILE|-]",
     .minOperands = 1,
     .maxOperands = 2,
     .summary = "print the directive KEYWORD assembles from the\n"
                "property text in FILE or standard input",
     .help = kAssembleHelp,
     .run = RunAssemble},
    {.name = "format",
     .arguments = "[--check | --diff | -i] [FILE...|-]",
     .maxOperands = kAnyCount,
     .summary = "rewrite the directives in scripts to the form\n"
                "their plug-in assembles",
     .help = kFormatHelp,
     .options = kFormatOptions,
     .checkUsage = CheckFormatUsage,
     .run = RunFormat},
    {.name = "lint",
     .arguments = "[FILE...|-]",
     .maxOperands = kAnyCount,
     .summary = "report unreadable directives, gotos to labels\n"
                "no #LABEL defines, and labels defined twice\n"
                "or empty",
     .help = kLintHelp,
     .run = RunLint},
    {.name = "lsp",
     .summary = "serve editors as a language server on standard\n"
                "input and output",
     .help = kLspHelp,
     .run = lsp::RunLspCommand},
    {.name = "keywords",
     .summary = "list the registered keywords and their modules",
     .help = kKeywordsHelp,
     .run = RunKeywords},
    {.name = "validate",
     .arguments = "[OPTION...] [MODULE...]",
     .maxOperands = kAnyCount,
     .summary = "check that plug-in modules keep the promises\n"
                "of the ABI",
     .help = kValidateHelp,
     .options = kValidateOptions,
     .loadsPlugins = false,
     .checkUsage = validate::CheckValidateUsage,
     .run = validate::RunValidate},
    {.name = "help",
     .arguments = "[--man | --completion SHELL | COMMAND]",
     .maxOperands = 1,
     .summary = "show this help, or the help of COMMAND",
     .help = kHelpHelp,
     .options = kHelpOptions,
     .loadsPlugins = false,
     .checkUsage = CheckHelpUsage,
     .run = RunHelpCommand},
};

bool Spells(const OptionSpec &option, std::string_view spelling) {
  return option.name == spelling ||
         (!option.alias.empty() && option.alias == spelling);
}

} // namespace

std::span<const Command> AllCommands() { return kCommands; }

std::span<const OptionSpec> GlobalOptions() { return kGlobalOptions; }

const Command *FindCommand(std::string_view name) {
  const auto found = std::ranges::find(kCommands, name, &Command::name);
  return found == std::end(kCommands) ? nullptr : found;
}

const OptionSpec *FindOption(std::string_view spelling) {
  for (const OptionSpec &option : kGlobalOptions) {
    if (Spells(option, spelling)) {
      return &option;
    }
  }
  for (const Command &command : kCommands) {
    for (const OptionSpec &option : command.options) {
      if (Spells(option, spelling)) {
        return &option;
      }
    }
  }
  return nullptr;
}

} // namespace directive_host
