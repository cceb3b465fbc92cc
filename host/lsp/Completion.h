// Completion of label names where a goto names its label: after "#GOTO ="
// and after an #IF's goto action.
#pragma once

#include "lsp/Analysis.h"
#include "lsp/TextPositions.h"

#include <string>
#include <vector>

namespace directive_host::lsp {

struct LabelCompletion {
  std::string label;  // a label that the script defines
  std::string detail; // where: "line N"
  TextEdit edit;      // puts it in place of what is typed of the label
};

// The labels to offer at `position`, in line order of their first
// definitions; none where no goto's label is being written.
std::vector<LabelCompletion> Completions(const Analysis &analysis,
                                         const Position &position);

} // namespace directive_host::lsp
