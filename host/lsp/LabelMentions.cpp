#include "lsp/LabelMentions.h"

#include "script/DirectiveScan.h"

namespace directive_host::lsp {

namespace {

// `properties` with the value of the first line named `name` (compared as
// PropertyValue compares names) replaced by `value`.
std::string WithValue(std::string_view properties, std::string_view name,
                      const std::string &value) {
  std::string text;
  for (const std::string &line : PropertyLines(properties)) {
    const std::size_t equals = line.find('=');
    const bool match = equals != std::string::npos &&
                       SameIgnoringCase(line.substr(0, equals), name);
    text += match ? line.substr(0, equals + 1) + value : line;
    text += "\r\n";
  }
  return text;
}

bool ReadsAs(const LabelMention &mention, const std::string &directive,
             const std::string &label) {
  ResultBuffer out;
  const std::optional<LabelUse> use =
      ReadDirective(*mention.handler, directive, out).Label();
  return use && use->role == mention.use.role && use->label == label;
}

} // namespace

std::vector<LabelMention> FindLabelMentions(std::string_view text,
                                            const Registry &registry) {
  std::vector<LabelMention> mentions;
  ResultBuffer out;
  ForEachDirective(text, registry, [&](const ScriptDirective &at) {
    const DirectiveLine &found = at.found;
    const DirectiveReading reading =
        ReadDirective(*found.handler, found.directive, out);
    std::optional<LabelUse> use = reading.Label();
    if (!use || use->label.empty()) {
      return;
    }
    // The label is the directive's last part, so its last occurrence.
    const std::size_t label = found.directive.rfind(use->label);
    mentions.push_back(
        {std::move(*use), found.handler, at.line, found.indent.size(),
         found.directive.size(),
         label == std::string::npos ? kNowhere : found.indent.size() + label,
         reading.kind != DirectiveKind::kIf});
  });
  return mentions;
}

std::optional<LineChange> Relabel(const LabelMention &mention,
                                  std::string_view line,
                                  const std::string &label) {
  const std::string directive(
      line.substr(mention.directive, mention.directiveLength));
  if (mention.label != kNowhere) {
    const std::size_t at = mention.label - mention.directive;
    std::string spliced = directive;
    spliced.replace(at, mention.use.label.size(), label);
    if (ReadsAs(mention, spliced, label)) {
      return LineChange{mention.label, mention.label + mention.use.label.size(),
                        label};
    }
  }
  const std::string assembled = CallAssemble(
      *mention.handler, WithValue(CallParse(*mention.handler, directive),
                                  mention.use.property, label));
  if (assembled.empty() || BreaksLine(assembled) ||
      !ReadsAs(mention, assembled, label)) {
    return std::nullopt;
  }
  return LineChange{mention.directive,
                    mention.directive + mention.directiveLength, assembled};
}

} // namespace directive_host::lsp
