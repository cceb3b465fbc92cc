/*
 * EchoPlugin: a complete directive plug-in for one keyword, "#ECHO", written
 * against directive_plugin.h alone.
 *
 *   #ECHO "hello, world"   --parse-->   text=hello, world
 *   text=hello, world      --assemble-> #ECHO "hello, world"
 *
 * What every plug-in must get right, and `directive-host validate` checks:
 * null inputs read as "", a null out gets nothing, a result that would not
 * fit in DIRECTIVE_RESULT_CAPACITY bytes is written as "", out may overlap
 * the inputs (so everything is read before anything is written), and no
 * state is kept between calls, which may come from any thread.
 */
#include "host_binding.h"

#include <directive_plugin.h>

#include <stdlib.h>
#include <string.h>

#define ECHO_KEYWORD "#ECHO"
#define ECHO_PROPERTY "text"

/* Writes the concatenation of `count` pieces into out, or "" when it would
 * not fit. The pieces may lie in out itself: they are joined in a buffer of
 * their own first. */
static void WriteResult(char *out, const char *const pieces[],
                        const size_t lengths[], size_t count) {
  size_t total = 0;
  size_t i;
  char *joined;
  for (i = 0; i < count; ++i) {
    total += lengths[i];
  }
  if (total >= DIRECTIVE_RESULT_CAPACITY ||
      (joined = (char *)malloc(total + 1)) == NULL) {
    out[0] = '\0';
    return;
  }
  total = 0;
  for (i = 0; i < count; ++i) {
    memcpy(joined + total, pieces[i], lengths[i]);
    total += lengths[i];
  }
  joined[total] = '\0';
  memcpy(out, joined, total + 1);
  free(joined);
}

static int IsBlank(char c) { return c != '\0' && (unsigned char)c <= ' '; }

/* "#ECHO" and any blanks after it skipped, the rest without its outer blanks
 * and one pair of quotes. */
static DirectiveBool DIRECTIVE_CALL EchoParse(const char *text, char *out,
                                              uint32_t extra) {
  static const char *const name = ECHO_PROPERTY "=";
  const char *start;
  const char *end;
  (void)extra;
  if (out == NULL) {
    return 0;
  }
  start = text != NULL ? text : "";
  if (*start == '#') {
    ++start;
  }
  while ((*start >= 'A' && *start <= 'Z') || (*start >= 'a' && *start <= 'z')) {
    ++start;
  }
  while (IsBlank(*start)) {
    ++start;
  }
  end = start + strlen(start);
  while (end > start && IsBlank(end[-1])) {
    --end;
  }
  if (end - start >= 2 && *start == '"' && end[-1] == '"') {
    ++start;
    --end;
  }
  if (end == start) {
    out[0] = '\0'; /* nothing to echo: no properties */
  } else {
    const char *const pieces[] = {name, start};
    const size_t lengths[] = {strlen(name), (size_t)(end - start)};
    WriteResult(out, pieces, lengths, 2);
  }
  return 0;
}

/* The line "text=VALUE" (the name in any ASCII case; lines broken by CR, LF
 * or CR LF), assembled as KEYWORD "VALUE". */
static DirectiveBool DIRECTIVE_CALL EchoAssemble(const char *keyword,
                                                 const char *properties,
                                                 char *out) {
  const size_t nameLength = strlen(ECHO_PROPERTY);
  const char *line = properties != NULL ? properties : "";
  const char *value = NULL;
  size_t valueLength = 0;
  if (out == NULL) {
    return 0;
  }
  keyword = keyword != NULL ? keyword : "";
  while (*line != '\0' && value == NULL) {
    const size_t length = strcspn(line, "\r\n");
    size_t i = 0;
    while (i < nameLength && i < length &&
           (line[i] | 0x20) == ECHO_PROPERTY[i]) {
      ++i;
    }
    if (i == nameLength && length > nameLength && line[nameLength] == '=') {
      value = line + nameLength + 1;
      valueLength = length - nameLength - 1;
    }
    line += length;
    line += *line == '\r' && line[1] == '\n' ? 2 : *line != '\0';
  }
  if (value == NULL) {
    const char *const pieces[] = {keyword};
    const size_t lengths[] = {strlen(keyword)};
    WriteResult(out, pieces, lengths, 1);
  } else {
    const char *const pieces[] = {keyword, " \"", value, "\""};
    const size_t lengths[] = {strlen(keyword), 2, valueLength, 1};
    WriteResult(out, pieces, lengths, 4);
  }
  return 0;
}

DIRECTIVE_EXPORT void DIRECTIVE_CALL AutoRegister(void) {
  const RegisterParseAssemblePluginsProc registerKeyword =
      HostRegisterEntryPoint();
  if (registerKeyword != NULL) {
    registerKeyword(ECHO_KEYWORD, EchoParse, EchoAssemble);
  }
}
