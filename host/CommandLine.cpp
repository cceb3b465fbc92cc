#include "CommandLine.h"

#include "Errors.h"

#include <cstddef>
#include <limits>
#include <string_view>

namespace directive_host {

namespace {

struct CommandShape {
  std::string_view name;
  std::size_t minOperands;
  std::size_t maxOperands;
  std::string_view usage;
};

constexpr std::size_t kAny = std::numeric_limits<std::size_t>::max();

constexpr CommandShape kCommands[] = {
    {"parse", 1, 1, "parse TEXT"},
    {"assemble", 1, 2, "assemble KEYWORD [FILE|-]"},
    {"format", 0, kAny, "format [--check | --diff | -i] [FILE...|-]"},
    {"lint", 0, kAny, "lint [FILE...|-]"},
    {"keywords", 0, 0, "keywords"},
    {"help", 0, 1, "help [COMMAND]"},
};

const CommandShape *FindCommand(std::string_view name) {
  for (const CommandShape &shape : kCommands) {
    if (shape.name == name) {
      return &shape;
    }
  }
  return nullptr;
}

// Applies one option to `invocation`; `next` gives the option's argument.
// Returns whether the option used it.
bool ApplyOption(const std::string &option, const std::string *next,
                 Invocation &invocation, std::string &formatOption) {
  if (option == "--help" || option == "-h") {
    invocation.help = true;
  } else if (option == "--version") {
    invocation.version = true;
  } else if (option == "--check" || option == "--diff" || option == "-i" ||
             option == "--in-place") {
    const FormatMode mode = option == "--check"  ? FormatMode::kCheck
                            : option == "--diff" ? FormatMode::kDiff
                                                 : FormatMode::kInPlace;
    if (!formatOption.empty() && invocation.formatMode != mode) {
      throw UsageError("options '" + formatOption + "' and '" + option +
                       "' exclude each other");
    }
    invocation.formatMode = mode;
    formatOption = option;
  } else if (option.starts_with("--plugin=")) {
    if (option.size() == 9) {
      throw UsageError("option '--plugin' needs a PATH");
    }
    invocation.plugins.push_back(option.substr(9));
  } else if (option == "--plugin") {
    if (next == nullptr || next->empty()) {
      throw UsageError("option '--plugin' needs a PATH");
    }
    invocation.plugins.push_back(*next);
    return true;
  } else {
    throw UsageError("unknown option '" + option + "'");
  }
  return false;
}

void CheckOperands(const Invocation &invocation, const CommandShape &shape,
                   const std::string &formatOption) {
  const std::size_t count = invocation.operands.size();
  const std::string usage = "usage: directive-host " + std::string(shape.usage);
  if (count < shape.minOperands) {
    throw UsageError("missing argument; " + usage);
  }
  if (count > shape.maxOperands) {
    throw UsageError("too many arguments; " + usage);
  }
  if (!formatOption.empty() && shape.name != "format") {
    throw UsageError("option '" + formatOption + "' applies only to format");
  }
  if (invocation.formatMode == FormatMode::kInPlace) {
    if (count == 0) {
      throw UsageError("option '" + formatOption + "' needs FILE arguments");
    }
    for (const std::string &operand : invocation.operands) {
      if (operand == "-") {
        throw UsageError("option '" + formatOption +
                         "' cannot rewrite standard input");
      }
    }
  }
  if (shape.name == "help" && count == 1 &&
      FindCommand(invocation.operands[0]) == nullptr) {
    throw UsageError("unknown command '" + invocation.operands[0] + "'");
  }
}

} // namespace

Invocation ParseCommandLine(const std::vector<std::string> &arguments) {
  Invocation invocation;
  std::string formatOption; // the --check, --diff or -i given, for messages
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string &argument = arguments[i];
    const bool isOption =
        !optionsEnded && argument.size() > 1 && argument[0] == '-';
    if (isOption && argument == "--") {
      optionsEnded = true;
    } else if (isOption) {
      const std::string *next =
          i + 1 < arguments.size() ? &arguments[i + 1] : nullptr;
      if (ApplyOption(argument, next, invocation, formatOption)) {
        ++i;
      }
    } else if (invocation.command.empty()) {
      invocation.command = argument;
    } else {
      invocation.operands.push_back(argument);
    }
  }
  if (invocation.command.empty()) {
    if (invocation.help || invocation.version) {
      return invocation;
    }
    throw UsageError("no command given");
  }
  const CommandShape *shape = FindCommand(invocation.command);
  if (shape == nullptr) {
    throw UsageError("unknown command '" + invocation.command + "'");
  }
  if (!invocation.help && !invocation.version) {
    CheckOperands(invocation, *shape, formatOption);
  }
  return invocation;
}

} // namespace directive_host
