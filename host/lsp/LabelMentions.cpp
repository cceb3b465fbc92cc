#include "LabelMentions.h"

#include "Directive.h"

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
  const std::optional<LabelUse> use = LabelUseOf(
      KindOf(*mention.handler), CallParse(*mention.handler, directive));
  return use && use->role == mention.use.role && use->label == label;
}

} // namespace

std::vector<LabelMention> FindLabelMentions(const Script &script,
                                            const Registry &registry) {
  std::vector<LabelMention> mentions;
  for (std::size_t i = 0; i < script.lines.size(); ++i) {
    const DirectiveLine found = FindDirective(registry, script.lines[i].text);
    // A plug-in would see only part of a directive with a NUL in it.
    if (found.handler == nullptr ||
        found.directive.find('\0') != std::string_view::npos) {
      continue;
    }
    const std::string directive(found.directive);
    std::optional<LabelUse> use = LabelUseOf(
        KindOf(*found.handler), CallParse(*found.handler, directive));
    if (!use || use->label.empty()) {
      continue;
    }
    // The label is the directive's last part, so its last occurrence.
    const std::size_t label = directive.rfind(use->label);
    mentions.push_back(
        {std::move(*use), found.handler, i, found.indent.size(),
         directive.size(),
         label == std::string::npos ? kNowhere : found.indent.size() + label,
         KindOf(*found.handler) != DirectiveKind::kIf});
  }
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
  if (assembled.empty() ||
      assembled.find_first_of("\r\n") != std::string::npos ||
      !ReadsAs(mention, assembled, label)) {
    return std::nullopt;
  }
  return LineChange{mention.directive,
                    mention.directive + mention.directiveLength, assembled};
}

} // namespace directive_host::lsp
