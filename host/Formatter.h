// Rewriting the directives of a script to the form their plug-in assembles.
#pragma once

#include "Registry.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace directive_host {

// A line that a rewrite touches, or would touch but must not.
struct LineNote {
  std::size_t line = 0; // counted from 1
  bool rewritten = false;
  std::string reason; // why the line was left as it is, when not rewritten
};

struct FormatResult {
  std::string text;
  std::vector<LineNote> notes; // in line order
};

// Rewrites every line of `text` whose first non-blank text is a registered
// keyword, keeping the line's indentation and line ending. Every other byte,
// a byte-order mark at the start included, passes through unchanged. The
// result has the same lines as `text`, one for one.
FormatResult FormatText(std::string_view text, const Registry &registry);

} // namespace directive_host
