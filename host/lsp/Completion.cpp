#include "lsp/Completion.h"

#include "lsp/LabelMentions.h"
#include "script/DirectiveScan.h"

#include <optional>
#include <unordered_set>

namespace directive_host::lsp {

namespace {

// A letter added at the cursor: where the directive's parse gives a goto
// whose label ends in it, the cursor is in that label, and the rest of the
// label is what has been typed of it. The plug-in decides, not a second
// reading of its syntax here.
constexpr std::string_view kProbe = "x";

// The bytes of `line` before `cursor` that are typed of a goto's label, or
// nullopt when the cursor is not in one.
std::optional<std::size_t> TypedLabel(const Registry &registry,
                                      std::string_view line,
                                      std::size_t cursor) {
  const std::string probed =
      std::string(line.substr(0, cursor)) + std::string(kProbe);
  const DirectiveLine found = FindDirective(registry, probed);
  if (found.handler == nullptr) {
    return std::nullopt;
  }
  ResultBuffer out;
  const std::optional<LabelUse> use =
      ReadDirective(*found.handler, found.directive, out).Label();
  if (!use || use->role != LabelRole::kGoto || !use->label.ends_with(kProbe)) {
    return std::nullopt;
  }
  const std::size_t typed = use->label.size() - kProbe.size();
  if (!line.substr(0, cursor).ends_with(
          std::string_view(use->label).substr(0, typed))) {
    return std::nullopt;
  }
  return typed;
}

} // namespace

LabelCompletions Completions(const Analysis &analysis,
                             const Position &position) {
  LabelCompletions completions;
  const std::string_view line = analysis.PluginLine(position.line);
  const std::size_t cursor = analysis.PluginByte(position);
  const std::optional<std::size_t> typed =
      TypedLabel(analysis.Keywords(), line, cursor);
  if (!typed) {
    return completions;
  }
  const std::string_view prefix = line.substr(cursor - *typed, *typed);
  const Range range =
      analysis.PluginSpan(position.line, cursor - *typed, cursor);
  std::unordered_set<std::string_view> seen;
  for (const LabelMention &mention : analysis.Mentions()) {
    const std::string_view label = mention.use.label;
    if (mention.use.role != LabelRole::kDefinition || !mention.representable ||
        label.size() < prefix.size() ||
        !SameIgnoringCase(label.substr(0, prefix.size()), prefix) ||
        !seen.insert(label).second) {
      continue;
    }
    if (completions.items.size() == kCompletionLimit) {
      completions.incomplete = true;
      break;
    }
    const std::string utf8 = Analysis::Utf8(label);
    completions.items.push_back(
        {utf8, "line " + std::to_string(mention.line), {range, utf8}});
  }
  return completions;
}

} // namespace directive_host::lsp
