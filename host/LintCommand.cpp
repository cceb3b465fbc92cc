#include "Commands.h"

#include "FileIO.h"
#include "Lint.h"

#include <string>

namespace directive_host {

int RunLint(const Registry &registry, const std::vector<std::string> &files) {
  return ForEachInput(files, [&](const std::string &path) {
    const std::string name = DisplayName(path);
    const std::vector<Finding> findings = LintText(ReadInput(path), registry);
    for (const Finding &finding : findings) {
      WriteOutput(name + ":" + std::to_string(finding.place.line) + ":" +
                  std::to_string(finding.place.column) + ": " +
                  finding.message + "\n");
    }
    return !findings.empty();
  });
}

} // namespace directive_host
