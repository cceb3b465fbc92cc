// The two ways a run of directive-host fails, told apart by their exit codes.
#pragma once

#include <stdexcept>

namespace directive_host {

enum ExitCode : int {
  kExitSuccess = 0,
  kExitFound = 1,   // format --check or --diff, or lint, found something
  kExitUsage = 2,   // the command line is wrong
  kExitFailure = 3, // a file, module or keyword let the command down
};

// The command line is wrong: no command, unknown command or option, missing
// or extra argument.
class UsageError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The command cannot be carried out; the message names the cause and the
// file, module or keyword.
class Failure : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

} // namespace directive_host
