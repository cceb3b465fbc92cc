// The manual page and the shell completions of directive-host, made from
// the command table as the help is, so that neither can drift from what the
// program takes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace directive_host {

// directive-host(1) in roff: every command with its help, every option,
// the exit status and the files it reads.
std::string ManualPage();

// A completion script for `shell` ("bash", "zsh" or "fish") that offers
// the commands, each command's options and the checks of validate --only;
// nullopt for another shell.
std::optional<std::string> CompletionScript(std::string_view shell);

// The shells CompletionScript knows.
inline constexpr std::string_view kCompletionShells[] = {"bash", "zsh",
                                                         "fish"};

} // namespace directive_host
