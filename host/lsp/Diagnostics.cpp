#include "lsp/Diagnostics.h"

#include "io/Wording.h"
#include "platform/TextEncoding.h"

#include <algorithm>

namespace directive_host::lsp {

namespace {

Diagnostic DiagnosticOf(const Analysis &analysis, const Finding &finding) {
  const std::size_t line = ProtocolLine(finding.place.line);
  const std::size_t column = finding.place.column - 1;
  return {analysis.PluginSpan(line, column, column + finding.place.length),
          finding.check, Analysis::Utf8(finding.message), finding.severity};
}

// The goto that `finding` is about: the one whose directive it covers.
const LabelMention *GotoOf(const Analysis &analysis, const Finding &finding) {
  const std::vector<LabelMention> &mentions = analysis.Mentions();
  const std::size_t line = finding.place.line;
  for (auto it = std::lower_bound(
           mentions.begin(), mentions.end(), line,
           [](const LabelMention &m, std::size_t l) { return m.line < l; });
       it != mentions.end() && it->line == line; ++it) {
    if (it->use.role == LabelRole::kGoto &&
        it->directive == finding.place.column - 1) {
      return &*it;
    }
  }
  return nullptr;
}

} // namespace

std::vector<Diagnostic> DiagnosticsOf(const Analysis &analysis) {
  std::vector<Diagnostic> diagnostics;
  diagnostics.reserve(analysis.Findings().size());
  for (const Finding &finding : analysis.Findings()) {
    diagnostics.push_back(DiagnosticOf(analysis, finding));
  }
  if (!analysis.HasUnrepresentable()) {
    return diagnostics;
  }
  const std::string codePage = std::to_string(platform::NarrowCodePage());
  for (const LabelMention &mention : analysis.Mentions()) {
    if (!mention.representable) {
      const std::size_t line = ProtocolLine(mention.line);
      diagnostics.push_back(
          {analysis.PluginSpan(line, mention.directive,
                               mention.directive + mention.directiveLength),
           kCheckUnrepresentable,
           "label " + Quoted(analysis.ClientLabel(mention)) +
               " is not representable in code page " + codePage});
    }
  }
  return diagnostics;
}

std::vector<QuickFix> QuickFixes(const Analysis &analysis, const Range &range) {
  std::vector<QuickFix> fixes;
  for (const Finding &finding : analysis.Findings()) {
    const std::size_t line = ProtocolLine(finding.place.line);
    if (finding.suggestion.empty() || line < range.start.line ||
        line > range.end.line || !analysis.Exact(line)) {
      continue;
    }
    const LabelMention *mention = GotoOf(analysis, finding);
    if (mention == nullptr) {
      continue;
    }
    const std::optional<LineChange> change =
        Relabel(*mention, analysis.PluginLine(line), finding.suggestion);
    if (!change) {
      continue;
    }
    const std::string suggestion = Analysis::Utf8(finding.suggestion);
    fixes.push_back({"Change to '" + suggestion + "'",
                     DiagnosticOf(analysis, finding),
                     {analysis.PluginSpan(line, change->begin, change->end),
                      Analysis::Utf8(change->text)}});
  }
  return fixes;
}

} // namespace directive_host::lsp
