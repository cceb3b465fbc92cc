#include "Analysis.h"

#include "TextEncoding.h"

#include <algorithm>

namespace directive_host::lsp {

Analysis::Analysis(std::string text, const Registry &registry,
                   PositionEncoding encoding)
    : text_(std::move(text)), registry_(registry), lines_(text_, encoding) {
  // Converted line by line, so that plug-in lines match the client's one
  // for one and a character that cannot be converted marks only its line.
  const Script script = SplitScript(text_);
  pluginText_.reserve(text_.size());
  pluginText_ += script.bom;
  exact_.reserve(script.lines.size());
  for (const Line &line : script.lines) {
    bool exact = true;
    pluginText_ += host::NarrowFromUtf8(line.text, exact);
    pluginText_ += line.ending;
    exact_.push_back(exact);
  }
  pluginScript_ = SplitScript(pluginText_);
  findings_ = LintText(pluginText_, registry_);
}

std::string_view Analysis::PluginLine(std::size_t line) const {
  return line < pluginScript_.lines.size() ? pluginScript_.lines[line].text
                                           : std::string_view();
}

bool Analysis::Exact(std::size_t line) const {
  return line < exact_.size() && exact_[line];
}

const std::vector<LabelMention> &Analysis::Mentions() const {
  if (!mentions_) {
    mentions_ = FindLabelMentions(pluginScript_, registry_);
  }
  return *mentions_;
}

const std::vector<Line> &Analysis::FormattedLines() const {
  if (!formatted_) {
    formatted_ =
        std::make_unique<std::string>(FormatText(pluginText_, registry_).text);
    formattedLines_ = SplitScript(*formatted_).lines;
  }
  return formattedLines_;
}

std::size_t Analysis::Lead(std::size_t line) const {
  return line == 0 ? pluginScript_.bom.size() : 0;
}

Range Analysis::PluginSpan(std::size_t line, std::size_t begin,
                           std::size_t end) const {
  const std::string_view text = PluginLine(line);
  const auto client = [&](std::size_t byte) {
    return Lead(line) +
           Utf8(text.substr(0, std::min(byte, text.size()))).size();
  };
  return lines_.Span(line, client(begin), client(end));
}

std::size_t Analysis::PluginByte(const Position &position) const {
  const std::string_view line = lines_.Line(position.line);
  const std::size_t byte =
      lines_.Offset(position) - lines_.LineStart(position.line);
  const std::size_t lead = std::min(Lead(position.line), byte);
  bool exact = true;
  return host::NarrowFromUtf8(line.substr(lead, byte - lead), exact).size();
}

std::string Analysis::Utf8(std::string_view pluginText) {
  return host::Utf8FromNarrow(pluginText);
}

} // namespace directive_host::lsp
