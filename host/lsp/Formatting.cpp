#include "lsp/Formatting.h"

#include <algorithm>

namespace directive_host::lsp {

std::vector<TextEdit> FormattingEdits(const Analysis &analysis,
                                      std::size_t first, std::size_t last) {
  std::vector<TextEdit> edits;
  const std::vector<Line> &formatted = analysis.FormattedLines();
  const std::size_t end = std::min(last + 1, formatted.size());
  for (std::size_t line = first; line < end; ++line) {
    const std::string_view before = analysis.PluginLine(line);
    const std::string_view after = formatted[line].text;
    if (after != before && analysis.Exact(line)) {
      edits.push_back(
          {analysis.PluginSpan(line, 0, before.size()), Analysis::Utf8(after)});
    }
  }
  return edits;
}

} // namespace directive_host::lsp
