// The commands of directive-host that read scripts or call one callback.
// Each runs one command line, writes its result to standard output and
// returns the exit code; failures are thrown as Failure, a wrong command
// line as UsageError.
#pragma once

#include "commands/Invocation.h"
#include "plugins/Registry.h"

namespace directive_host {

// parse TEXT: prints the property text of the directive TEXT, one property
// per line.
int RunParse(const Invocation &invocation, const Registry &registry);

// assemble KEYWORD [FILE|-]: prints the directive KEYWORD assembles from the
// property text in FILE (standard input for "-" or none).
int RunAssemble(const Invocation &invocation, const Registry &registry);

// keywords: prints each registered keyword with the module that registered
// it.
int RunKeywords(const Invocation &invocation, const Registry &registry);

// format [--check | --diff | -i] [FILE...|-]: formats each file (standard
// input for "-" or none). Warns on standard error about each line left as
// it is because rewriting it would change its meaning. Goes on to the next
// file when one fails, and fails at the end. --check exits with kExitFound
// when a line would change or was left as it is, --diff when a file would
// change.
int RunFormat(const Invocation &invocation, const Registry &registry);
// -i needs files, and cannot rewrite standard input.
void CheckFormatUsage(const Invocation &invocation);

// lint [FILE...|-]: checks the labels and gotos of each file (read as format
// reads them) and lists what it finds, FILE:LINE:COLUMN: message, on
// standard output. Exits with kExitFound when it found anything.
int RunLint(const Invocation &invocation, const Registry &registry);

} // namespace directive_host
