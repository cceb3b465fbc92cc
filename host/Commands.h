// The commands of directive-host. Each writes its result to standard output
// and returns the exit code; failures are thrown as Failure.
#pragma once

#include "Registry.h"

#include <string>
#include <vector>

namespace directive_host {

// Prints the property text of the directive `text`, one property per line.
int RunParse(const Registry &registry, const std::string &text);

// Prints the directive `keyword` assembles from the property text in `input`
// ("-" for standard input).
int RunAssemble(const Registry &registry, const std::string &keyword,
                const std::string &input);

// Prints each registered keyword with the module that registered it.
int RunKeywords(const Registry &registry);

enum class FormatMode {
  kPrint,   // write the formatted scripts to standard output
  kCheck,   // list the lines that would change; write nothing
  kDiff,    // write a unified diff of each file that would change
  kInPlace, // rewrite the files
};

// Formats each of `files` ("-" for standard input; none means standard
// input). Warns on standard error about each line left as it is because
// rewriting it would change its meaning. Goes on to the next file when one
// fails, and fails at the end. --check exits with kExitFound when a line
// would change or was left as it is, --diff when a file would change.
int RunFormat(const Registry &registry, FormatMode mode,
              const std::vector<std::string> &files);

// Checks the labels and gotos of each of `files` (read as RunFormat reads
// them) and lists what it finds, FILE:LINE: message, on standard output.
// Exits with kExitFound when it found anything.
int RunLint(const Registry &registry, const std::vector<std::string> &files);

} // namespace directive_host
