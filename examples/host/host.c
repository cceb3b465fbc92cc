/*
 * example-host: the smallest complete host of a directive plug-in. It exports
 * the six registration entry points, loads the plug-in module, calls its
 * AutoRegister, and parses and assembles one directive of each keyword that
 * the plug-in registered.
 *
 * Usage: example-host [MODULE]
 * MODULE defaults to DIRECTIVE_PLUGIN_MODULE, which the build defines.
 */
#ifndef _WIN32
#define _POSIX_C_SOURCE 200809L
#endif

#include <directive_plugin.h>

#include <stdio.h>
#include <string.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

struct Keyword {
  const char *name;
  ParseProc parse;
  AssembleProc assemble;
};

static struct Keyword keywords[16];
static int keywordCount = 0;

/* The plug-in calls this from AutoRegister, once per keyword. */
DIRECTIVE_HOST_EXPORT DirectiveBool DIRECTIVE_CALL RegisterParseAssemblePlugins(
    const char *keyword, ParseProc parse, AssembleProc assemble) {
  if (keywordCount == (int)(sizeof keywords / sizeof keywords[0])) {
    return 0;
  }
  keywords[keywordCount].name = keyword;
  keywords[keywordCount].parse = parse;
  keywords[keywordCount].assemble = assemble;
  ++keywordCount;
  return 1;
}

/* The plug-in looks these up too, but never calls them. */
DIRECTIVE_HOST_EXPORT void DIRECTIVE_CALL RegisterEditPlugin(void) {}
DIRECTIVE_HOST_EXPORT void DIRECTIVE_CALL RegisterValidatePlugin(void) {}
DIRECTIVE_HOST_EXPORT void DIRECTIVE_CALL RegisterTypeEditPlugin(void) {}
DIRECTIVE_HOST_EXPORT void DIRECTIVE_CALL RegisterTypeValidatePlugin(void) {}
DIRECTIVE_HOST_EXPORT void DIRECTIVE_CALL RegisterInclusion(void) {}

/* Loads the module and returns its AutoRegister, or NULL. */
static AutoRegisterProc LoadPlugin(const char *path) {
  AutoRegisterProc autoRegister = NULL;
#ifdef _WIN32
  HMODULE module = LoadLibraryA(path);
  if (module != NULL) {
    autoRegister = (AutoRegisterProc)(void (*)(void))GetProcAddress(
        module, DIRECTIVE_AUTO_REGISTER);
  }
#else
  void *module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (module != NULL) {
    void *symbol = dlsym(module, DIRECTIVE_AUTO_REGISTER);
    memcpy(&autoRegister, &symbol, sizeof autoRegister);
  }
#endif
  return autoRegister;
}

/* Prints property text one line at a time, whatever its line breaks. */
static void PrintProperties(const char *text) {
  while (*text != '\0') {
    size_t length = strcspn(text, "\r\n");
    printf("  %.*s\n", (int)length, text);
    text += length;
    text += *text == '\r' ? 1 : 0;
    text += *text == '\n' ? 1 : 0;
  }
}

static const char *SampleOf(const char *keyword) {
  static const char *const samples[][2] = {
      {"#LABEL", "#LABEL   =  \"start\""},
      {"#GOTO", "#GOTO=start"},
      {"#IF", "#IF \"$DAY\" == \"Sunday\" goto start"}};
  size_t i;
  for (i = 0; i < sizeof samples / sizeof samples[0]; ++i) {
    if (strcmp(samples[i][0], keyword) == 0) {
      return samples[i][1];
    }
  }
  return NULL;
}

int main(int argc, char **argv) {
  /* Every out buffer holds DIRECTIVE_RESULT_CAPACITY bytes, NUL included. */
  static char properties[DIRECTIVE_RESULT_CAPACITY];
  static char directive[DIRECTIVE_RESULT_CAPACITY];
  const char *module = argc > 1 ? argv[1] : DIRECTIVE_PLUGIN_MODULE;
  AutoRegisterProc autoRegister = LoadPlugin(module);
  int i;
  if (autoRegister == NULL) {
    fprintf(stderr, "example-host: cannot load %s or find its %s\n", module,
            DIRECTIVE_AUTO_REGISTER);
    return 1;
  }
  autoRegister();
  if (keywordCount == 0) {
    fprintf(stderr, "example-host: nothing registered; does the executable "
                    "export its entry points?\n");
    return 1;
  }
  for (i = 0; i < keywordCount; ++i) {
    const char *sample = SampleOf(keywords[i].name);
    if (sample == NULL) {
      continue;
    }
    keywords[i].parse(sample, properties, 0);
    keywords[i].assemble(keywords[i].name, properties, directive);
    printf("%s\n", sample);
    PrintProperties(properties);
    printf("  -> %s\n", directive);
  }
  return 0;
}
