// What --help, help COMMAND and --version print.
#pragma once

#include <string>
#include <string_view>

namespace directive_host {

std::string GeneralHelp();

// The help of `command`; the general help for a name that is no command.
std::string CommandHelp(std::string_view command);

std::string VersionText();

} // namespace directive_host
