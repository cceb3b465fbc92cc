// Unified diffs between a text and a version of it whose lines correspond one
// for one: the new version changes lines but never adds or removes one, as
// format does.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace directive_host {

// The unified diff that turns `before` into `after`: the headers
// "--- NAME" and "+++ NAME", then hunks with three lines of context, hunks
// whose contexts overlap or touch merged into one. Lines are counted as diff
// and patch count them, ended by LF (a lone CR, which ends a line of a
// script, is kept inside theirs), so that patch applies the diff; they are
// compared and written with their breaks, byte for byte, so a CR before the
// LF stays in the line; a line without an LF is followed by
// "\ No newline at end of file". Returns "" when the texts are equal.
// Throws std::invalid_argument when they do not have the same number of
// lines.
std::string UnifiedDiff(std::string_view name, std::string_view before,
                        std::string_view after);

// UnifiedDiff's diff, handed to `write` piece by piece as it is made, so that
// neither the diff nor the texts' lines need be held. Throws before writing
// anything when the texts do not have the same number of lines.
void WriteUnifiedDiff(std::string_view name, std::string_view before,
                      std::string_view after,
                      const std::function<void(std::string_view)> &write);

} // namespace directive_host
