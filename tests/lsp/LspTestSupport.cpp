#include "LspTestSupport.h"

#include "plugins/LoadedPlugins.h"

#include <algorithm>

using namespace directive_host::lsp;

const directive_host::Registry &Plugins() {
  static const directive_host::LoadedPlugins plugins({});
  return plugins.Keywords();
}

std::unique_ptr<Analysis> Analyse(const std::string &text,
                                  PositionEncoding encoding) {
  return std::make_unique<Analysis>(text, Plugins(), encoding);
}

std::string Applied(std::string text, std::vector<TextEdit> edits,
                    PositionEncoding encoding) {
  // From the last to the first, so that each range still means what it did.
  std::stable_sort(edits.begin(), edits.end(),
                   [](const TextEdit &a, const TextEdit &b) {
                     return b.range.start < a.range.start;
                   });
  for (const TextEdit &edit : edits) {
    ApplyEdit(text, edit.range, edit.newText, encoding);
  }
  return text;
}

void directive_host::lsp::PrintTo(const Range &range, std::ostream *out) {
  *out << range.start.line << ":" << range.start.character << "-"
       << range.end.line << ":" << range.end.character;
}
