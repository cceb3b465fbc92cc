#include "lsp/Hover.h"

#include "script/DirectiveScan.h"

namespace directive_host::lsp {

namespace {

std::string_view FileName(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string PropertiesText(const KeywordHandler &handler,
                           std::string_view directive, Markup markup) {
  ResultBuffer out;
  const DirectiveReading reading = ReadDirective(handler, directive, out);
  if (reading.unread == Unread::kHoldsNul) {
    return "The line holds a NUL byte, which a plug-in cannot be given.";
  }
  const std::vector<std::string> lines = PropertyLines(reading.properties);
  if (lines.empty()) {
    return "The plug-in reads no properties from it.";
  }
  const bool markdown = markup == Markup::kMarkdown;
  std::string text = markdown ? "```\n" : "";
  for (const std::string &line : lines) {
    text += line + "\n";
  }
  return markdown ? text + "```" : text;
}

} // namespace

std::string_view MarkupName(Markup markup) {
  return markup == Markup::kMarkdown ? "markdown" : "plaintext";
}

std::optional<HoverText> Hover(const Analysis &analysis,
                               const Position &position, Markup markup) {
  const std::string_view line = analysis.PluginLine(position.line);
  const DirectiveLine found = FindDirective(analysis.Keywords(), line);
  const std::size_t byte = analysis.PluginByte(position);
  const std::size_t begin = found.indent.size();
  const std::size_t end = begin + found.directive.size();
  if (found.handler == nullptr || byte < begin || byte > end) {
    return std::nullopt;
  }
  const std::string strong = markup == Markup::kMarkdown ? "**" : "";
  const std::string heading = strong + found.handler->keyword + strong + " (" +
                              std::string(FileName(found.handler->module)) +
                              ")\n\n";
  return HoverText{
      analysis.PluginSpan(position.line, begin, end),
      Analysis::Utf8(heading +
                     PropertiesText(*found.handler, found.directive, markup))};
}

} // namespace directive_host::lsp
