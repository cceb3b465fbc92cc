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
using DocumentRequestHandler = Json(const Analysis &analysis,
                                    const Json &params,
                                    const ClientPreferences &client);
using DocumentRequest = DocumentRequestHandler *;

DocumentRequestHandler OnFormatting, OnRangeFormatting, OnDefinition,
    OnReferences, OnPrepareRename, OnRename, OnDocumentSymbols, OnHover,
    OnCompletion, OnCodeActions;

} // namespace directive_host::lsp
