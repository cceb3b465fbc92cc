// Formatting as edits: one per line that `directive-host format` changes,
// or one of the whole document.
#pragma once

#include "lsp/Analysis.h"
#include "lsp/TextPositions.h"

#include <cstddef>
#include <vector>

namespace directive_host::lsp {

// The edits that make lines `first` to `last` what the formatter prints:
// each replaces the text of one line that it changes, and nothing else. A
// line that the plug-in cannot be given as it is (Analysis::Exact) is left
// as it is.
std::vector<TextEdit> FormattingEdits(const Analysis &analysis,
                                      std::size_t first, std::size_t last);

// The edits that make the whole document what the formatter prints: those
// of FormattingEdits, or one that replaces the whole text when that sends
// fewer bytes (a script that is formatted for the first time changes on
// most of its lines).
std::vector<TextEdit> DocumentFormattingEdits(const Analysis &analysis);

} // namespace directive_host::lsp
