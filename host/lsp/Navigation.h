// Finding one's way among labels: from a goto to its #LABEL, from any
// mention of a label to all of them, and the outline of a script's labels.
#pragma once

#include "lsp/Analysis.h"
#include "lsp/LabelMentions.h"
#include "lsp/TextPositions.h"

#include <string>
#include <vector>

namespace directive_host::lsp {

// The label mention at `position`, or null.
const LabelMention *MentionAt(const Analysis &analysis,
                              const Position &position);

// Where the label of `mention` stands in its directive, or the whole
// directive when the label is not there as written.
Range LabelRange(const Analysis &analysis, const LabelMention &mention);

// The #LABEL that defines the label mentioned at `position`: its first
// definition, as the checks take it. Empty when there is none.
std::vector<Range> Definition(const Analysis &analysis,
                              const Position &position);

// Every mention of the label mentioned at `position`, in line order; the
// definitions only when `withDefinitions`.
std::vector<Range> References(const Analysis &analysis,
                              const Position &position, bool withDefinitions);

struct LabelSymbol {
  std::string name;
  Range range;     // the directive
  Range selection; // the label in it
};

// One symbol per label, at its first definition, in line order.
std::vector<LabelSymbol> Symbols(const Analysis &analysis);

} // namespace directive_host::lsp
