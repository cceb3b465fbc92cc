/*
 * example-host: the smallest complete host of a directive plug-in. It exports
 * the six registration entry points, loads the module (argument 1, or
 * DIRECTIVE_PLUGIN_MODULE as the build defines it), calls its AutoRegister,
 * and parses and assembles one directive of each keyword registered.
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

static struct {
  const char *keyword;
  ParseProc parse;
  AssembleProc assemble;
} keywords[16];
static int keywordCount = 0;

/* The plug-in calls this from AutoRegister, once per keyword. */
DIRECTIVE_HOST_EXPORT DirectiveBool DIRECTIVE_CALL RegisterParseAssemblePlugins(
    const char *keyword, ParseProc parse, AssembleProc assemble) {
  if (keywordCount == (int)(sizeof keywords / sizeof keywords[0])) {
    return 0;
  }
  keywords[keywordCount].keyword = keyword;
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
  void *symbol = module != NULL ? dlsym(module, DIRECTIVE_AUTO_REGISTER) : NULL;
  memcpy(&autoRegister, &symbol, sizeof autoRegister);
#endif
  return autoRegister;
}

static const char *const samples[][2] = {
    {"#LABEL", "#LABEL   =  \"start\""},
    {"#GOTO", "#GOTO=start"},
    {"#IF", "#IF \"$DAY\" == \"Sunday\" goto start"}};

int main(int argc, char **argv) {
  /* Every out buffer holds DIRECTIVE_RESULT_CAPACITY bytes, NUL included. */
  static char properties[DIRECTIVE_RESULT_CAPACITY];
  static char directive[DIRECTIVE_RESULT_CAPACITY];
  const char *module = argc > 1 ? argv[1] : DIRECTIVE_PLUGIN_MODULE;
  AutoRegisterProc autoRegister = LoadPlugin(module);
  int i, s;
  if (autoRegister == NULL) {
    fprintf(stderr, "example-host: cannot load %s or find its AutoRegister\n",
            module);
    return 1;
  }
  autoRegister();
  if (keywordCount == 0) {
    fprintf(stderr, "example-host: nothing registered; does the executable "
                    "export its entry points?\n");
    return 1;
  }
  for (i = 0; i < keywordCount; ++i) {
    for (s = 0; s < (int)(sizeof samples / sizeof samples[0]); ++s) {
      if (strcmp(samples[s][0], keywords[i].keyword) == 0) {
        const char *line = properties;
        keywords[i].parse(samples[s][1], properties, 0);
        keywords[i].assemble(keywords[i].keyword, properties, directive);
        printf("%s\n", samples[s][1]);
        /* Property lines end with CR LF; print each on a line of its own. */
        for (; *line != '\0'; line += strspn(line, "\r\n")) {
          size_t length = strcspn(line, "\r\n");
          printf("  %.*s\n", (int)length, line);
          line += length;
        }
        printf("  -> %s\n", directive);
      }
    }
  }
  return 0;
}
