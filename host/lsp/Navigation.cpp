#include "lsp/Navigation.h"

#include <algorithm>
#include <unordered_set>

namespace directive_host::lsp {

namespace {

Range DirectiveRange(const Analysis &analysis, const LabelMention &mention) {
  return analysis.PluginSpan(ProtocolLine(mention.line), mention.directive,
                             mention.directive + mention.directiveLength);
}

const LabelMention *FirstDefinition(const Analysis &analysis,
                                    const std::string &label) {
  for (const LabelMention &mention : analysis.Mentions()) {
    if (mention.use.role == LabelRole::kDefinition && mention.representable &&
        mention.use.label == label) {
      return &mention;
    }
  }
  return nullptr;
}

} // namespace

const LabelMention *MentionAt(const Analysis &analysis,
                              const Position &position) {
  const std::vector<LabelMention> &mentions = analysis.Mentions();
  const std::size_t byte = analysis.PluginByte(position);
  for (auto it =
           std::lower_bound(mentions.begin(), mentions.end(), position.line,
                            [](const LabelMention &m, std::size_t line) {
                              return ProtocolLine(m.line) < line;
                            });
       it != mentions.end() && ProtocolLine(it->line) == position.line; ++it) {
    const bool whole = it->wholeDirective || it->label == kNowhere;
    const std::size_t begin = whole ? it->directive : it->label;
    const std::size_t end = whole ? it->directive + it->directiveLength
                                  : it->label + it->use.label.size();
    // The place just after the label still touches it.
    if (begin <= byte && byte <= end) {
      return &*it;
    }
  }
  return nullptr;
}

Range LabelRange(const Analysis &analysis, const LabelMention &mention) {
  if (mention.label == kNowhere) {
    return DirectiveRange(analysis, mention);
  }
  return analysis.PluginSpan(ProtocolLine(mention.line), mention.label,
                             mention.label + mention.use.label.size());
}

std::vector<Range> Definition(const Analysis &analysis,
                              const Position &position) {
  const LabelMention *mention = MentionAt(analysis, position);
  const LabelMention *definition =
      mention == nullptr || !mention->representable
          ? nullptr
          : FirstDefinition(analysis, mention->use.label);
  if (definition == nullptr) {
    return {};
  }
  return {LabelRange(analysis, *definition)};
}

std::vector<Range> References(const Analysis &analysis,
                              const Position &position, bool withDefinitions) {
  const LabelMention *at = MentionAt(analysis, position);
  std::vector<Range> ranges;
  if (at == nullptr || !at->representable) {
    return ranges;
  }
  for (const LabelMention &mention : analysis.Mentions()) {
    if (mention.use.label == at->use.label && mention.representable &&
        (withDefinitions || mention.use.role != LabelRole::kDefinition)) {
      ranges.push_back(LabelRange(analysis, mention));
    }
  }
  return ranges;
}

std::vector<LabelSymbol> Symbols(const Analysis &analysis) {
  std::vector<LabelSymbol> symbols;
  std::unordered_set<std::string> seen;
  for (const LabelMention &mention : analysis.Mentions()) {
    if (mention.use.role == LabelRole::kDefinition && mention.representable &&
        seen.insert(mention.use.label).second) {
      symbols.push_back({Analysis::Utf8(mention.use.label),
                         DirectiveRange(analysis, mention),
                         LabelRange(analysis, mention)});
    }
  }
  return symbols;
}

} // namespace directive_host::lsp
