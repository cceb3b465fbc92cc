// How a script divides into lines, and which of its lines hold a directive.
// format and lint both read scripts through this unit, so that they agree on
// every line.
#pragma once

#include "plugins/Registry.h"

#include <string_view>
#include <vector>

namespace directive_host {

// One line of a text: its bytes, and the break that ends it ("\n", "\r\n",
// a lone "\r", or "" for a last line without one). LF, CR LF and a CR that
// no LF follows each end a line, as they do in property text.
struct Line {
  std::string_view text;
  std::string_view ending;
};

// Reads a text line by line without holding its lines: the one rule of line
// breaks that every reader of scripts and property text follows.
class LineReader {
public:
  explicit LineReader(std::string_view text) : rest_(text) {}

  // Sets `line` to the next line; false after the last one. A text ending in
  // a break has no empty line after it.
  bool Next(Line &line);

private:
  std::string_view rest_;
};

// The lines of `text`, in order; a text ending in a break has no empty line
// after it, and the empty text has no lines.
std::vector<Line> SplitLines(std::string_view text);

// The UTF-8 byte-order mark.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// A script: the byte-order mark at its very start, if any, and the lines
// after it. Line 1 starts after the mark.
struct Script {
  std::string_view bom;
  std::vector<Line> lines; // lines[0] is line 1
};

// The UTF-8 byte-order mark `text` starts with, or "".
std::string_view LeadingBom(std::string_view text);

Script SplitScript(std::string_view text);

// A line whose first non-blank text (after spaces and tabs) is a registered
// keyword.
struct DirectiveLine {
  std::string_view indent;
  std::string_view directive; // from the keyword to the end of the line
  const KeywordHandler *handler = nullptr;
};

// The directive `line` holds; its handler is null when it holds none.
DirectiveLine FindDirective(const Registry &registry, std::string_view line);

} // namespace directive_host
