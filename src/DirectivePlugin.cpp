// The module's one export, AutoRegister, and the keywords it registers.
#include "CommonPlugin.h"
#include "GotoLabelPlugin.h"
#include "IfDirectivePlugin.h"

#include <type_traits>

static_assert(std::is_same_v<decltype(&AutoRegister), AutoRegisterProc>);

namespace {

struct Registration {
  const char *keyword;
  ParseProc parse;
  AssembleProc assemble;
};

// In the order the host receives them. The keyword strings are constants
// that live as long as the module.
constexpr Registration kRegistrations[] = {
    {DIRECTIVE_KEYWORD_LABEL, LabelGotoParse, LabelGotoAssemble},
    {DIRECTIVE_KEYWORD_GOTO, LabelGotoParse, LabelGotoAssemble},
    {DIRECTIVE_KEYWORD_IF, IfParse, IfAssemble},
};

} // namespace

extern "C" DIRECTIVE_EXPORT void DIRECTIVE_CALL AutoRegister(void) {
  const RegisterParseAssemblePluginsProc registerPlugins =
      BoundHostEntryPoints().RegisterParseAssemblePlugins;
  if (registerPlugins == nullptr) {
    return;
  }
  for (const Registration &row : kRegistrations) {
    registerPlugins(row.keyword, row.parse, row.assemble);
  }
}
