// parse and assemble: the commands that call one callback on one text, and
// share how they find its keyword and warn of a result that may not fit.
#include "commands/Commands.h"

#include "io/Errors.h"
#include "io/FileIO.h"
#include "io/Output.h"
#include "script/Directive.h"
#include "script/Encoding.h"
#include "script/Script.h"

#include <algorithm>
#include <cstddef>

namespace directive_host {

namespace {

const KeywordHandler &RegisteredKeyword(const Registry &registry,
                                        const std::string &keyword) {
  const KeywordHandler *handler = registry.Find(keyword);
  if (handler == nullptr) {
    throw Failure("no plug-in registered the keyword '" + keyword + "'");
  }
  return *handler;
}

// The warning format and lint give for a line, for the one text of parse or
// assemble.
void WarnWhenMayNotHaveFit(std::string_view input, std::string_view result,
                           std::string_view resultName,
                           std::string_view inputName) {
  if (MayNotHaveFit(input, result)) {
    WriteDiagnostic("directive-host: warning: " +
                    CapacityReason(resultName, input.size(), inputName));
  }
}

} // namespace

int RunParse(const Invocation &invocation, const Registry &registry) {
  const std::string &text = invocation.operands[0];
  const std::size_t length = KeywordLength(text);
  if (length == 0) {
    throw Failure("'" + text +
                  "' does not start with a keyword ('#' and "
                  "letters)");
  }
  const KeywordHandler &handler =
      RegisteredKeyword(registry, text.substr(0, length));
  const std::string properties = CallParse(handler, text);
  WarnWhenMayNotHaveFit(text, properties, "parse result", "text");
  for (const std::string &line : PropertyLines(properties)) {
    WriteOutput(line);
    WriteOutput("\n");
  }
  return kExitSuccess;
}

int RunAssemble(const Invocation &invocation, const Registry &registry) {
  const std::string &keyword = invocation.operands[0];
  const std::string input =
      invocation.operands.size() > 1 ? invocation.operands[1] : "-";
  // '#' starts a comment in most shells, so "GOTO" may stand for "#GOTO".
  const std::string name = keyword.starts_with('#') ? keyword : "#" + keyword;
  const KeywordHandler &handler = RegisteredKeyword(registry, name);
  std::string properties = ReadInput(input);
  RefuseWideText(DisplayName(input), properties);
  // An editor may start the text with a byte-order mark; the first name
  // starts after it, as a script's first line does.
  properties.erase(0, LeadingBom(properties).size());
  if (!PluginCanRead(properties)) {
    throw Failure("'" + DisplayName(input) +
                  "' holds a NUL byte, which cannot be passed to a plug-in");
  }
  const std::string directive = CallAssemble(handler, properties);
  WarnWhenMayNotHaveFit(properties, directive, "directive", "property text");
  WriteOutput(directive);
  WriteOutput("\n");
  return kExitSuccess;
}

} // namespace directive_host
