// The requests about a document: each reads its parameters, asks the
// feature and writes the answer as the protocol has it.
#include "Server.h"

#include "Completion.h"
#include "Diagnostics.h"
#include "Formatting.h"
#include "Hover.h"
#include "Navigation.h"
#include "Rename.h"

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

Json Server::Formatting(const Json &params) {
  const Analysis *analysis = Find(params);
  if (analysis == nullptr) {
    return nullptr;
  }
  return Edits(FormattingEdits(*analysis, 0, analysis->Lines().LineCount()));
}

Json Server::RangeFormatting(const Json &params) {
  const Analysis *analysis = Find(params);
  if (analysis == nullptr) {
    return nullptr;
  }
  const Range range = RangeFrom(params.at("range"));
  // A selection that ends at the start of a line does not take that line.
  const std::size_t last =
      range.end.character == 0 && range.end.line > range.start.line
          ? range.end.line - 1
          : range.end.line;
  return Edits(FormattingEdits(*analysis, range.start.line, last));
}

Json Server::Definition(const Json &params) {
  const Analysis *analysis = Find(params);
  if (analysis == nullptr) {
    return nullptr;
  }
  return Locations(UriOf(params),
                   lsp::Definition(*analysis, PositionOf(params)));
}

Json Server::References(const Json &params) {
  const Analysis *analysis = Find(params);
  if (analysis == nullptr) {
    return nullptr;
  }
  const Json &declarations = Member(params, {"context", "includeDeclaration"});
  return Locations(UriOf(params), lsp::References(*analysis, PositionOf(params),
                                                  declarations != false));
}

Json Server::PrepareRename(const Json &params) {
  const Analysis *analysis = Find(params);
  const std::optional<RenameTarget> target =
      analysis == nullptr ? std::nullopt
                          : lsp::PrepareRename(*analysis, PositionOf(params));
  if (!target) {
    return nullptr;
  }
  return {{"range", ToJson(target->range)},
          {"placeholder", target->placeholder}};
}

Json Server::Rename(const Json &params) {
  const Analysis *analysis = Find(params);
  if (analysis == nullptr) {
    return nullptr;
  }
  const Renaming renaming = lsp::Rename(
      *analysis, PositionOf(params), params.at("newName").get<std::string>());
  if (!renaming.refusal.empty()) {
    throw RpcError(kRequestFailed, renaming.refusal);
  }
  return {{"changes", {{UriOf(params), Edits(renaming.edits)}}}};
}

Json Server::DocumentSymbols(const Json &params) {
  const Analysis *analysis = Find(params);
  if (analysis == nullptr) {
    return nullptr;
  }
  Json symbols = Json::array();
  for (const LabelSymbol &symbol : Symbols(*analysis)) {
    symbols.push_back({{"name", symbol.name},
                       {"kind", kSymbolConstant},
                       {"range", ToJson(symbol.range)},
                       {"selectionRange", ToJson(symbol.selection)}});
  }
  return symbols;
}

Json Server::Hover(const Json &params) {
  const Analysis *analysis = Find(params);
  const std::optional<HoverText> hover =
      analysis == nullptr ? std::nullopt
                          : lsp::Hover(*analysis, PositionOf(params));
  if (!hover) {
    return nullptr;
  }
  return {{"contents", {{"kind", "markdown"}, {"value", hover->markdown}}},
          {"range", ToJson(hover->range)}};
}

Json Server::Completion(const Json &params) {
  const Analysis *analysis = Find(params);
  if (analysis == nullptr) {
    return nullptr;
  }
  Json items = Json::array();
  for (const LabelCompletion &completion :
       Completions(*analysis, PositionOf(params))) {
    items.push_back({{"label", completion.label},
                     {"kind", kCompletionConstant},
                     {"detail", completion.detail},
                     {"textEdit", ToJson(completion.edit)}});
  }
  return {{"isIncomplete", false}, {"items", items}};
}

Json Server::CodeActions(const Json &params) {
  const Analysis *analysis = Find(params);
  if (analysis == nullptr) {
    return nullptr;
  }
  Json actions = Json::array();
  const Json &only = Member(params, {"context", "only"});
  if (only.is_array() && !Offers(only, kQuickFix)) {
    return actions;
  }
  const std::string uri = UriOf(params);
  for (const QuickFix &fix :
       QuickFixes(*analysis, RangeFrom(params.at("range")))) {
    actions.push_back({{"title", fix.title},
                       {"kind", kQuickFix},
                       {"diagnostics", {ToJson(fix.diagnostic)}},
                       {"isPreferred", true},
                       {"edit", {{"changes", {{uri, {ToJson(fix.edit)}}}}}}});
  }
  return actions;
}

} // namespace directive_host::lsp
