// What the language server's tests share: the plug-ins loaded once into the
// test program, documents analysed with them, and edits applied as a client
// applies them.
#pragma once

#include "lsp/Analysis.h"
#include "lsp/TextPositions.h"
#include "plugins/Registry.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

// The keywords of the default module, loaded beside the test program.
const directive_host::Registry &Plugins();

std::unique_ptr<directive_host::lsp::Analysis>
Analyse(const std::string &text,
        directive_host::lsp::PositionEncoding encoding =
            directive_host::lsp::PositionEncoding::kUtf16);

// `text` with `edits` applied, as a client applies the edits of one
// response: each range taken in the text before any of them.
std::string Applied(std::string text,
                    std::vector<directive_host::lsp::TextEdit> edits,
                    directive_host::lsp::PositionEncoding encoding =
                        directive_host::lsp::PositionEncoding::kUtf16);

namespace directive_host::lsp {
// For the tests' failure messages: "line:character-line:character".
void PrintTo(const Range &range, std::ostream *out);
} // namespace directive_host::lsp
