#include "lsp/Analysis.h"

#include "platform/TextEncoding.h"

#include <algorithm>

namespace directive_host::lsp {

namespace {

bool StartsCharacter(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

// The UTF-8 byte that each narrow byte of `line` converted stands for,
// character by character, and the line's length after them; and the narrow
// bytes that stand in for a character the narrow encoding lacks.
Analysis::LossyLine LossyLineOf(std::string_view line) {
  Analysis::LossyLine lossy;
  for (std::size_t begin = 0; begin < line.size();) {
    std::size_t end = begin + 1;
    while (end < line.size() && !StartsCharacter(line[end])) {
      ++end;
    }
    bool exact = true;
    const std::size_t size =
        platform::NarrowFromUtf8(line.substr(begin, end - begin), exact).size();
    for (std::size_t i = 0; !exact && i < size; ++i) {
      lossy.standIns.push_back(lossy.offsets.size() + i);
    }
    lossy.offsets.insert(lossy.offsets.end(), size, begin);
    begin = end;
  }
  lossy.offsets.push_back(line.size());
  return lossy;
}

} // namespace

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
    pluginText_ += platform::NarrowFromUtf8(line.text, exact);
    pluginText_ += line.ending;
    if (!exact) {
      lossy_.emplace(exact_.size(), LossyLineOf(line.text));
    }
    exact_.push_back(exact);
  }
  pluginScript_ = SplitScript(pluginText_);
  LabelsLeftOut leftOut;
  if (!lossy_.empty()) {
    MarkUnrepresentable();
    leftOut = [this](std::size_t line) {
      return unrepresentable_.contains(ProtocolLine(line));
    };
  }
  findings_ = LintText(pluginText_, registry_, leftOut);
}

// A label with a stand-in in it reads as another label would ('??x' for
// both '😀x' and '🎉x'), so the plug-in's reading of it stands for nothing.
void Analysis::MarkUnrepresentable() {
  mentions_ = FindLabelMentions(pluginText_, registry_);
  for (LabelMention &mention : *mentions_) {
    const auto lossy = lossy_.find(ProtocolLine(mention.line));
    if (lossy == lossy_.end()) {
      continue;
    }
    const bool verbatim = mention.label != kNowhere;
    const std::size_t begin = verbatim ? mention.label : mention.directive;
    const std::size_t end = verbatim
                                ? begin + mention.use.label.size()
                                : mention.directive + mention.directiveLength;
    const std::vector<std::size_t> &standIns = lossy->second.standIns;
    const auto standIn =
        std::lower_bound(standIns.begin(), standIns.end(), begin);
    if (standIn != standIns.end() && *standIn < end) {
      mention.representable = false;
      unrepresentable_.insert(ProtocolLine(mention.line));
    }
  }
}

std::string Analysis::ClientLabel(const LabelMention &mention) const {
  if (mention.representable) {
    return Utf8(mention.use.label);
  }
  const std::size_t line = ProtocolLine(mention.line);
  const bool verbatim = mention.label != kNowhere;
  const std::size_t begin = verbatim ? mention.label : mention.directive;
  const std::size_t end = verbatim ? begin + mention.use.label.size()
                                   : begin + mention.directiveLength;
  const std::size_t from = Utf8Byte(line, begin);
  return std::string(
      lines_.Line(line).substr(Lead(line) + from, Utf8Byte(line, end) - from));
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
    mentions_ = FindLabelMentions(pluginText_, registry_);
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

std::size_t Analysis::Utf8Byte(std::size_t line, std::size_t byte) const {
  const std::string_view text = PluginLine(line);
  byte = std::min(byte, text.size());
  const auto lossy = lossy_.find(line);
  if (lossy != lossy_.end()) {
    return lossy->second.offsets[byte];
  }
  return Utf8(text.substr(0, byte)).size();
}

std::size_t Analysis::PluginByteOf(std::size_t line,
                                   std::size_t utf8Byte) const {
  const auto lossy = lossy_.find(line);
  if (lossy != lossy_.end()) {
    const std::vector<std::size_t> &offsets = lossy->second.offsets;
    return static_cast<std::size_t>(
        std::lower_bound(offsets.begin(), offsets.end(), utf8Byte) -
        offsets.begin());
  }
  const std::string_view text = lines_.Line(line).substr(Lead(line));
  bool exact = true;
  return platform::NarrowFromUtf8(text.substr(0, utf8Byte), exact).size();
}

Range Analysis::PluginSpan(std::size_t line, std::size_t begin,
                           std::size_t end) const {
  return lines_.Span(line, Lead(line) + Utf8Byte(line, begin),
                     Lead(line) + Utf8Byte(line, end));
}

std::size_t Analysis::PluginByte(const Position &position) const {
  const std::size_t byte =
      lines_.Offset(position) - lines_.LineStart(position.line);
  const std::size_t lead = Lead(position.line);
  return byte < lead ? 0 : PluginByteOf(position.line, byte - lead);
}

std::string Analysis::Utf8(std::string_view pluginText) {
  return platform::Utf8FromNarrow(pluginText);
}

} // namespace directive_host::lsp
