// Unified diffs between a text and a version of it whose lines correspond one
// for one: the new version changes lines but never adds or removes one, as
// format does.
#pragma once

#include <string>
#include <string_view>

namespace directive_host {

// The unified diff that turns `before` into `after`: the headers
// "--- NAME" and "+++ NAME", then hunks with three lines of context, hunks
// whose contexts overlap or touch merged into one. Lines (as SplitLines
// reads them) are compared and written with their breaks, byte for byte, so
// a CR before the LF stays in the line; a line without a break is followed
// by "\ No newline at end of file". Returns "" when the texts are equal.
// Throws std::invalid_argument when they do not have the same number of
// lines.
std::string UnifiedDiff(std::string_view name, std::string_view before,
                        std::string_view after);

} // namespace directive_host
