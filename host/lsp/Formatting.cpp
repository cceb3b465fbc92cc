#include "lsp/Formatting.h"

#include "script/Script.h"

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

std::vector<TextEdit> DocumentFormattingEdits(const Analysis &analysis) {
  const LineMap &lines = analysis.Lines();
  std::vector<TextEdit> edits = FormattingEdits(analysis, 0, lines.LineCount());
  // What an edit sends beside its text: its range and the JSON around it.
  constexpr std::size_t kEditBytes = 90;
  std::size_t editBytes = 0;
  for (const TextEdit &edit : edits) {
    editBytes += edit.newText.size() + kEditBytes;
  }
  // The whole text after the byte-order mark, as FormattingEdits makes it:
  // each line that it changes formatted, each break as it was.
  const std::string_view text = analysis.Text();
  const std::size_t bom = LeadingBom(text).size();
  if (editBytes <= text.size() - bom + kEditBytes) {
    return edits;
  }
  const std::vector<Line> &formatted = analysis.FormattedLines();
  std::string whole;
  whole.reserve(text.size());
  for (std::size_t line = 0; line < lines.LineCount(); ++line) {
    const std::size_t begin = line == 0 ? bom : lines.LineStart(line);
    const std::size_t end = lines.LineStart(line) + lines.Line(line).size();
    if (line < formatted.size() && analysis.Exact(line)) {
      whole += Analysis::Utf8(formatted[line].text);
    } else {
      whole += text.substr(begin, end - begin);
    }
    whole += text.substr(end, lines.LineStart(line + 1) - end);
  }
  if (whole.size() + kEditBytes >= editBytes) {
    return edits;
  }
  const std::size_t count = lines.LineCount();
  const bool endsInBreak =
      !text.empty() && (text.back() == '\n' || text.back() == '\r');
  const Position end = count == 0 || endsInBreak
                           ? Position{count, 0}
                           : lines.At(count - 1, lines.Line(count - 1).size());
  return {{{analysis.PluginSpan(0, 0, 0).start, end}, std::move(whole)}};
}

} // namespace directive_host::lsp
