#include "app/CommandLine.h"

#include "app/CommandTable.h"
#include "io/Errors.h"
#include "io/Wording.h"

#include <algorithm>
#include <cstddef>

namespace directive_host {

namespace {

// The commands that take `option`: "format", "format and lint" ...
std::string CommandsTaking(const OptionSpec &option) {
  std::vector<std::string_view> names;
  for (const Command &command : AllCommands()) {
    if (std::any_of(
            command.options.begin(), command.options.end(),
            [&](const OptionSpec &o) { return o.name == option.name; })) {
      names.push_back(command.name);
    }
  }
  return Enumerate(names);
}

// Applies one option to `invocation`; `next` gives the option's argument
// when it takes one and none follows '='. Returns whether it used `next`.
bool ApplyOption(const std::string &argument, const std::string *next,
                 Invocation &invocation) {
  const std::size_t equals = argument.find('=');
  const bool joined = argument.starts_with("--") && equals != std::string::npos;
  const std::string spelling = joined ? argument.substr(0, equals) : argument;
  const OptionSpec *known = FindOption(spelling);
  if (known == nullptr) {
    throw UsageError("unknown option '" + spelling + "'");
  }
  const bool takesValue = !known->valueName.empty();
  if (joined && !takesValue) {
    throw UsageError("option '" + spelling + "' takes no argument");
  }
  std::string value;
  bool usedNext = false;
  if (takesValue) {
    if (joined) {
      value = argument.substr(equals + 1);
    } else if (next != nullptr) {
      value = *next;
      usedNext = true;
    }
    if (value.empty()) {
      throw UsageError(
          "option '" + spelling + "' needs " +
          (known->apply != nullptr
               ? "a " + std::string(known->valueName)
               : "a value: " + spelling + " " + std::string(known->valueName)));
    }
  }
  if (known->apply != nullptr) {
    known->apply(invocation, value);
  } else {
    invocation.options.push_back({std::string(known->name), spelling, value});
  }
  return usedNext;
}

void CheckOptions(const Invocation &invocation, const Command &command) {
  for (std::size_t i = 0; i < invocation.options.size(); ++i) {
    const GivenOption &given = invocation.options[i];
    const auto known =
        std::find_if(command.options.begin(), command.options.end(),
                     [&](const OptionSpec &o) { return o.name == given.name; });
    if (known == command.options.end()) {
      throw UsageError("option '" + given.spelling + "' applies only to " +
                       CommandsTaking(*FindOption(given.name)));
    }
    for (std::size_t j = 0; j < i; ++j) {
      const GivenOption &earlier = invocation.options[j];
      if (!known->group.empty() && earlier.name != given.name &&
          FindOption(earlier.name)->group == known->group) {
        throw UsageError("options '" + earlier.spelling + "' and '" +
                         given.spelling + "' exclude each other");
      }
    }
  }
}

void CheckOperands(const Invocation &invocation, const Command &command) {
  const std::size_t count = invocation.operands.size();
  std::string usage = "usage: directive-host " + std::string(command.name);
  if (!command.arguments.empty()) {
    usage += " " + std::string(command.arguments);
  }
  if (count < command.minOperands) {
    throw UsageError("missing argument; " + usage);
  }
  if (count > command.maxOperands) {
    throw UsageError("too many arguments; " + usage);
  }
}

} // namespace

Invocation ParseCommandLine(const std::vector<std::string> &arguments) {
  Invocation invocation;
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
      if (ApplyOption(argument, next, invocation)) {
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
  const Command *command = FindCommand(invocation.command);
  if (command == nullptr) {
    throw UsageError("unknown command '" + invocation.command + "'");
  }
  if (!invocation.help && !invocation.version) {
    CheckOptions(invocation, *command);
    CheckOperands(invocation, *command);
    if (command->checkUsage != nullptr) {
      command->checkUsage(invocation);
    }
  }
  return invocation;
}

} // namespace directive_host
