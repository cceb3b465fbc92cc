#include "commands/Commands.h"

#include "io/Errors.h"
#include "io/Output.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace directive_host {

int RunKeywords(const Invocation &, const Registry &registry) {
  std::size_t width = 0;
  for (const KeywordHandler &handler : registry.Handlers()) {
    width = std::max(width, handler.keyword.size());
  }
  for (const KeywordHandler &handler : registry.Handlers()) {
    WriteOutput(handler.keyword);
    WriteOutput(std::string(width - handler.keyword.size() + 2, ' '));
    WriteOutput(handler.module);
    WriteOutput("\n");
  }
  return kExitSuccess;
}

} // namespace directive_host
