#include "Commands.h"

#include "Encoding.h"
#include "FileIO.h"
#include "Lint.h"

#include <string>

namespace directive_host {

int RunLint(const Registry &registry, const std::vector<std::string> &files) {
  return ForEachInput(files, [&](const std::string &path) {
    const std::string name = DisplayName(path);
    const std::string text = ReadInput(path);
    RefuseWideText(name, text);
    bool found = false;
    LintScript(text, registry, [&](const Finding &finding) {
      WriteOutput(name + ":" + std::to_string(finding.place.line) + ":" +
                  std::to_string(finding.place.column) + ": " +
                  finding.message + "\n");
      found = true;
    });
    return found;
  });
}

} // namespace directive_host
