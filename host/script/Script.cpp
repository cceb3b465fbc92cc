#include "script/Script.h"

#include "script/Directive.h"

#include <cstring>

namespace directive_host {

bool LineReader::Next(Line &line) {
  if (rest_.empty()) {
    return false;
  }
  // The first LF, then a CR before it: two passes of memchr outrun one of
  // comparing each byte with both.
  const char *data = rest_.data();
  const void *lf = std::memchr(data, '\n', rest_.size());
  std::size_t end =
      lf != nullptr
          ? static_cast<std::size_t>(static_cast<const char *>(lf) - data)
          : rest_.size();
  const void *cr = std::memchr(data, '\r', end);
  if (cr != nullptr) {
    end = static_cast<std::size_t>(static_cast<const char *>(cr) - data);
  }
  std::size_t next = end;
  if (end < rest_.size()) {
    next = end + 1;
    if (rest_[end] == '\r' && next < rest_.size() && rest_[next] == '\n') {
      ++next;
    }
  }
  line = {rest_.substr(0, end), rest_.substr(end, next - end)};
  rest_.remove_prefix(next);
  return true;
}

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  LineReader reader(text);
  Line line;
  while (reader.Next(line)) {
    lines.push_back(line);
  }
  return lines;
}

std::string_view LeadingBom(std::string_view text) {
  return text.starts_with(kUtf8Bom) ? text.substr(0, kUtf8Bom.size()) : "";
}

Script SplitScript(std::string_view text) {
  const std::string_view bom = LeadingBom(text);
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
