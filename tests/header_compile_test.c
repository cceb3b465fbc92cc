/* The public header as a C99 host sees it. */
#include "directive_plugin.h"

static DirectiveBool DIRECTIVE_CALL Parse(const char *text, char *out,
                                          uint32_t extra) {
  (void)text;
  (void)extra;
  out[0] = '\0';
  return 0;
}

static DirectiveBool DIRECTIVE_CALL Assemble(const char *keyword,
                                             const char *properties,
                                             char *out) {
  (void)keyword;
  (void)properties;
  out[0] = '\0';
  return 0;
}

int HeaderCompilesAsC(RegisterParseAssemblePluginsProc registerPlugins) {
  char out[DIRECTIVE_RESULT_CAPACITY];
  ParseProc parse = Parse;
  AssembleProc assemble = Assemble;
  AutoRegisterProc autoRegister = AutoRegister;
  (void)autoRegister;
  registerPlugins("#X", parse, assemble);
  return parse(DIRECTIVE_REGISTER_PARSE_ASSEMBLE_PLUGINS, out, 0u) +
         (int)sizeof(DIRECTIVE_AUTO_REGISTER);
}
