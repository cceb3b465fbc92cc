// Renaming a label: every #LABEL that defines it and every goto to it, so
// that each directive reads the new name back.
#pragma once

#include "lsp/Analysis.h"
#include "lsp/TextPositions.h"

#include <optional>
#include <string>
#include <vector>

namespace directive_host::lsp {

struct RenameTarget {
  Range range;             // the label at the place asked about
  std::string placeholder; // its name
};

// The label at `position`, or nullopt when there is none to rename (an
// unrepresentable one, Analysis.h, is none).
std::optional<RenameTarget> PrepareRename(const Analysis &analysis,
                                          const Position &position);

struct Renaming {
  std::vector<TextEdit> edits; // when `refusal` is empty
  std::string refusal;         // why the label cannot be renamed so
};

// The edits that rename the label at `position` to `name` (UTF-8), or the
// reason they cannot: there is no label there, the label or a directive
// that names it has a character the plug-in's encoding lacks, the name
// would not read back as written (it is empty, holds a quote, a control
// character or one the plug-in's encoding lacks, or a directive would read
// it otherwise), or another label has it already.
Renaming Rename(const Analysis &analysis, const Position &position,
                const std::string &name);

} // namespace directive_host::lsp
