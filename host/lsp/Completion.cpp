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

std::vector<LabelCompletion> Completions(const Analysis &analysis,
                                         const Position &position) {
  std::vector<LabelCompletion> completions;
  const std::string_view line = analysis.PluginLine(position.line);
  const std::size_t cursor = analysis.PluginByte(position);
  const std::optional<std::size_t> typed =
      TypedLabel(analysis.Keywords(), line, cursor);
  if (!typed) {
    return completions;
  }
  const Range range =
      analysis.PluginSpan(position.line, cursor - *typed, cursor);
  std::unordered_set<std::string_view> seen;
  for (const LabelMention &mention : analysis.Mentions()) {
    if (mention.use.role == LabelRole::kDefinition &&
        seen.insert(mention.use.label).second) {
      const std::string label = Analysis::Utf8(mention.use.label);
      completions.push_back(
          {label, "line " + std::to_string(mention.line), {range, label}});
    }
  }
  return completions;
}

} // namespace directive_host::lsp
