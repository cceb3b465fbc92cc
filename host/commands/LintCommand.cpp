#include "commands/Commands.h"

#include "commands/InputLoop.h"
#include "io/FileIO.h"
#include "io/Output.h"
#include "lint/Lint.h"
#include "script/Encoding.h"

#include <string>

namespace directive_host {

int RunLint(const Invocation &invocation, const Registry &registry) {
  return ForEachInput(invocation.operands, [&](const std::string &path) {
    const std::string name = DisplayName(path);
    const std::string text = ReadInput(path);
    RefuseWideText(name, text);
    bool found = false;
    LintScript(text, registry, [&](const Finding &finding) {
      const bool note = finding.severity == Severity::kNote;
      WriteOutput(name + ":" + std::to_string(finding.place.line) + ":" +
                  std::to_string(finding.place.column) + ": " +
                  (note ? "note: " : "") + finding.message + "\n");
      found = found || !note;
    });
    return found;
  });
}

} // namespace directive_host
