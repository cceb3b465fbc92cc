#include "Script.h"

#include "Directive.h"

namespace directive_host {

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t newline = text.find('\n', start);
    if (newline == std::string_view::npos) {
      lines.push_back({text.substr(start), {}});
      break;
    }
    const bool crlf = newline > start && text[newline - 1] == '\r';
    const std::size_t end = crlf ? newline - 1 : newline;
    lines.push_back(
        {text.substr(start, end - start), text.substr(end, newline + 1 - end)});
    start = newline + 1;
  }
  return lines;
}

Script SplitScript(std::string_view text) {
  const std::string_view bom =
      text.starts_with(kUtf8Bom) ? text.substr(0, kUtf8Bom.size()) : "";
  return {bom, SplitLines(text.substr(bom.size()))};
}

DirectiveLine FindDirective(const Registry &registry, std::string_view line) {
  const std::size_t indent = line.find_first_not_of(" \t");
  if (indent == std::string_view::npos) {
    return {line, {}, nullptr};
  }
  const std::string_view body = line.substr(indent);
  return {line.substr(0, indent), body, FindLeadingKeyword(registry, body)};
}

} // namespace directive_host
