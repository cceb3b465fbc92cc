// The requests about a document, one handler each: each reads its
// parameters, asks the feature and writes the answer as the protocol has
// it. Server.cpp binds each to its method.
#pragma once

#include "lsp/Analysis.h"
#include "lsp/Hover.h"
#include "lsp/Protocol.h"

namespace directive_host::lsp {

// What the client said at initialize that an answer follows.
struct ClientPreferences {
  Markup hover = Markup::kPlainText;
};

// Answers a request about `analysis`, the document its parameters name;
// throws RpcError for parameters it cannot use.
using DocumentRequest = Json (*)(const Analysis &analysis, const Json &params,
                                 const ClientPreferences &client);

Json OnFormatting(const Analysis &analysis, const Json &params,
                  const ClientPreferences &client);
Json OnRangeFormatting(const Analysis &analysis, const Json &params,
                       const ClientPreferences &client);
Json OnDefinition(const Analysis &analysis, const Json &params,
                  const ClientPreferences &client);
Json OnReferences(const Analysis &analysis, const Json &params,
                  const ClientPreferences &client);
Json OnPrepareRename(const Analysis &analysis, const Json &params,
                     const ClientPreferences &client);
Json OnRename(const Analysis &analysis, const Json &params,
              const ClientPreferences &client);
Json OnDocumentSymbols(const Analysis &analysis, const Json &params,
                       const ClientPreferences &client);
Json OnHover(const Analysis &analysis, const Json &params,
             const ClientPreferences &client);
Json OnCompletion(const Analysis &analysis, const Json &params,
                  const ClientPreferences &client);
Json OnCodeActions(const Analysis &analysis, const Json &params,
                   const ClientPreferences &client);

} // namespace directive_host::lsp
