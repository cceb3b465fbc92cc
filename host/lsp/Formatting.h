// Formatting as edits: one per line that `directive-host format` changes.
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

} // namespace directive_host::lsp
