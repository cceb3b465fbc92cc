// Completion of label names where a goto names its label: after "#GOTO ="
// and after an #IF's goto action.
#pragma once

#include "lsp/Analysis.h"
#include "lsp/TextPositions.h"

#include <cstddef>
#include <string>
#include <vector>

namespace directive_host::lsp {

struct LabelCompletion {
  std::string label;  // a label that the script defines
  std::string detail; // where: "line N"
  TextEdit edit;      // puts it in place of what is typed of the label
};

// At most this many labels are offered at once; the client asks again as
// more of the label is typed.
inline constexpr std::size_t kCompletionLimit = 100;

struct LabelCompletions {
  std::vector<LabelCompletion> items;
  bool incomplete = false; // more labels match than are offered
};

// The labels to offer at `position` that start with what is typed of the
// label (letter case aside), in line order of their first definitions, at
// most kCompletionLimit; none where no goto's label is being written.
LabelCompletions Completions(const Analysis &analysis,
                             const Position &position);

} // namespace directive_host::lsp
