// Rewriting the directives of a script to the form their plug-in assembles.
#pragma once

#include "plugins/Registry.h"

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

// Where FormatScript hands on what it makes, in order.
class FormatSink {
public:
  virtual ~FormatSink() = default;
  // The next bytes of the formatted text; bytes that pass through unchanged
  // come as views into the text being formatted, whole runs of lines at once.
  virtual void Write(std::string_view bytes) = 0;
  // A line rewritten or left as it is. A rewritten line's note comes after
  // every byte before the line's directive and before the directive's new
  // text.
  virtual void Note(const LineNote &note) = 0;
};

// What FormatText makes, handed on to `sink` as it is made, so that neither
// the formatted text nor its notes need be held.
void FormatScript(std::string_view text, const Registry &registry,
                  FormatSink &sink);

} // namespace directive_host
