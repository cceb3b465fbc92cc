// The requests about a document, one handler each: each reads its
// parameters, asks the feature and writes the answer as the protocol has
// it. Server.cpp binds each to its method.
#pragma once

#include "lsp/Analysis.h"
#include "lsp/Protocol.h"

namespace directive_host::lsp {

// Answers a request about `analysis`, the document its parameters name;
// throws RpcError for parameters it cannot use.
using DocumentRequest = Json (*)(const Analysis &analysis, const Json &params);

Json OnFormatting(const Analysis &analysis, const Json &params);
Json OnRangeFormatting(const Analysis &analysis, const Json &params);
Json OnDefinition(const Analysis &analysis, const Json &params);
Json OnReferences(const Analysis &analysis, const Json &params);
Json OnPrepareRename(const Analysis &analysis, const Json &params);
Json OnRename(const Analysis &analysis, const Json &params);
Json OnDocumentSymbols(const Analysis &analysis, const Json &params);
Json OnHover(const Analysis &analysis, const Json &params);
Json OnCompletion(const Analysis &analysis, const Json &params);
Json OnCodeActions(const Analysis &analysis, const Json &params);

} // namespace directive_host::lsp
