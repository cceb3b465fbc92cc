// What a directive holds, shown when the pointer rests on it: its properties
// as the plug-in parses them.
#pragma once

#include "lsp/Analysis.h"
#include "lsp/TextPositions.h"

#include <optional>
#include <string>
#include <string_view>

namespace directive_host::lsp {

// How the client can show a hover: Markdown, or only plain text.
enum class Markup { kPlainText, kMarkdown };

// "plaintext" or "markdown", as the protocol names them.
std::string_view MarkupName(Markup markup);

struct HoverText {
  Range range;      // the directive
  std::string text; // the keyword, the module and the property lines
};

// The hover of the directive at `position` in `markup`, or nullopt when
// there is none.
std::optional<HoverText> Hover(const Analysis &analysis,
                               const Position &position,
                               Markup markup = Markup::kMarkdown);

} // namespace directive_host::lsp
