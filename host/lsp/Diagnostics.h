// Lint's findings as the client shows them, and the quick fixes that apply
// their suggestions.
#pragma once

#include "lsp/Analysis.h"
#include "lsp/TextPositions.h"

#include <string>
#include <string_view>
#include <vector>

namespace directive_host::lsp {

// A finding of lint, shown as an error when it is a fault and as a hint
// when it is a note.
struct Diagnostic {
  Range range;           // the directive's text on its line
  std::string_view code; // the check's name
  std::string message;
  Severity severity = Severity::kFault;
};

// The check of a label that the plug-in could not be given as written, which
// the server makes itself: lint never sees such a label.
inline constexpr std::string_view kCheckUnrepresentable =
    "unrepresentable-label";

// Lint's findings, then one for each unrepresentable label.
std::vector<Diagnostic> DiagnosticsOf(const Analysis &analysis);

// Puts the label that lint suggests for an undefined one in its place.
struct QuickFix {
  std::string title;
  Diagnostic diagnostic; // the finding it fixes
  TextEdit edit;
};

// The quick fixes of the findings on the lines from `range.start` to
// `range.end`.
std::vector<QuickFix> QuickFixes(const Analysis &analysis, const Range &range);

} // namespace directive_host::lsp
