#include "lsp/Requests.h"

#include "lsp/Protocol.h"

#include "lsp/Completion.h"
#include "lsp/Diagnostics.h"
#include "lsp/Formatting.h"
#include "lsp/Hover.h"
#include "lsp/Navigation.h"
#include "lsp/Rename.h"

namespace directive_host::lsp {

namespace {

constexpr int kSymbolConstant = 14;
constexpr int kCompletionConstant = 21;

Json Locations(const std::string &uri, const std::vector<Range> &ranges) {
  Json locations = Json::array();
  for (const Range &range : ranges) {
    locations.push_back({{"uri", uri}, {"range", ToJson(range)}});
  }
  return locations;
}

} // namespace

Json OnFormatting(const Analysis &analysis, const Json &,
                  const ClientPreferences &) {
  return Edits(DocumentFormattingEdits(analysis));
}

Json OnRangeFormatting(const Analysis &analysis, const Json &params,
                       const ClientPreferences &) {
  const Range range = RangeFrom(Member(params, {"range"}));
  // A selection that ends at the start of a line does not take that line.
  const std::size_t last =
      range.end.character == 0 && range.end.line > range.start.line
          ? range.end.line - 1
          : range.end.line;
  return Edits(FormattingEdits(analysis, range.start.line, last));
}

Json OnDefinition(const Analysis &analysis, const Json &params,
                  const ClientPreferences &) {
  return Locations(UriOf(params),
                   lsp::Definition(analysis, PositionOf(params)));
}

Json OnReferences(const Analysis &analysis, const Json &params,
                  const ClientPreferences &) {
  const Json &declarations = Member(params, {"context", "includeDeclaration"});
  return Locations(UriOf(params), lsp::References(analysis, PositionOf(params),
                                                  declarations != false));
}

Json OnPrepareRename(const Analysis &analysis, const Json &params,
                     const ClientPreferences &) {
  const std::optional<RenameTarget> target =
      lsp::PrepareRename(analysis, PositionOf(params));
  if (!target) {
    return nullptr;
  }
  return {{"range", ToJson(target->range)},
          {"placeholder", target->placeholder}};
}

Json OnRename(const Analysis &analysis, const Json &params,
              const ClientPreferences &) {
  const Renaming renaming = lsp::Rename(analysis, PositionOf(params),
                                        StringParam(params, {"newName"}));
  if (!renaming.refusal.empty()) {
    throw RpcError(kRequestFailed, renaming.refusal);
  }
  return {{"changes", {{UriOf(params), Edits(renaming.edits)}}}};
}

Json OnDocumentSymbols(const Analysis &analysis, const Json &,
                       const ClientPreferences &) {
  Json symbols = Json::array();
  for (const LabelSymbol &symbol : Symbols(analysis)) {
    symbols.push_back({{"name", symbol.name},
                       {"kind", kSymbolConstant},
                       {"range", ToJson(symbol.range)},
                       {"selectionRange", ToJson(symbol.selection)}});
  }
  return symbols;
}

Json OnHover(const Analysis &analysis, const Json &params,
             const ClientPreferences &client) {
  const std::optional<HoverText> hover =
      lsp::Hover(analysis, PositionOf(params), client.hover);
  if (!hover) {
    return nullptr;
  }
  return {{"contents",
           {{"kind", MarkupName(client.hover)}, {"value", hover->text}}},
          {"range", ToJson(hover->range)}};
}

Json OnCompletion(const Analysis &analysis, const Json &params,
                  const ClientPreferences &) {
  Json items = Json::array();
  const LabelCompletions completions =
      Completions(analysis, PositionOf(params));
  for (const LabelCompletion &completion : completions.items) {
    items.push_back({{"label", completion.label},
                     {"kind", kCompletionConstant},
                     {"detail", completion.detail},
                     {"textEdit", ToJson(completion.edit)}});
  }
  return {{"isIncomplete", completions.incomplete}, {"items", items}};
}

Json OnCodeActions(const Analysis &analysis, const Json &params,
                   const ClientPreferences &) {
  Json actions = Json::array();
  const Json &only = Member(params, {"context", "only"});
  if (only.is_array() && !Offers(only, kQuickFix)) {
    return actions;
  }
  const std::string uri = UriOf(params);
  for (const QuickFix &fix :
       QuickFixes(analysis, RangeFrom(Member(params, {"range"})))) {
    actions.push_back({{"title", fix.title},
                       {"kind", kQuickFix},
                       {"diagnostics", {ToJson(fix.diagnostic)}},
                       {"isPreferred", true},
                       {"edit", {{"changes", {{uri, {ToJson(fix.edit)}}}}}}});
  }
  return actions;
}

} // namespace directive_host::lsp
