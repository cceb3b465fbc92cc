// The requests about a document: each reads its parameters, asks the
// feature and writes the answer as the protocol has it.
#pragma once

#include "lsp/Analysis.h"
#include "lsp/Protocol.h"

#include <string_view>

namespace directive_host::lsp {

// Answers a request about `analysis`, the document its parameters name;
// throws RpcError or Json::exception for parameters it cannot use.
using DocumentRequest = Json (*)(const Analysis &analysis, const Json &params);

// The handler of the request `method` about a document, or null.
DocumentRequest FindDocumentRequest(std::string_view method);

} // namespace directive_host::lsp
