// What a directive holds, shown when the pointer rests on it: its properties
// as the plug-in parses them.
#pragma once

#include "lsp/Analysis.h"
#include "lsp/TextPositions.h"

#include <optional>
#include <string>

namespace directive_host::lsp {

struct HoverText {
  Range range;          // the directive
  std::string markdown; // the keyword, the module and the property lines
};

// The hover of the directive at `position`, or nullopt when there is none.
std::optional<HoverText> Hover(const Analysis &analysis,
                               const Position &position);

} // namespace directive_host::lsp
