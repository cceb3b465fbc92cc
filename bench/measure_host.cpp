// A host that loads the built plug-in module, registers it and calls one
// callback on one bench case a given number of times (or, with --bytes,
// prints the size of the case's input). Run under valgrind
// with N and with 2N calls, the difference of the two counts is what N calls
// cost, free of start-up and loading.
#include "BenchCases.h"
#include "ModuleLoader.h"
#include "directive_plugin.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Registered {
  std::string keyword;
  ParseProc parse;
  AssembleProc assemble;
};

std::vector<Registered> &Registrations() {
  static std::vector<Registered> registrations;
  return registrations;
}

std::string PluginPath() {
  const std::string executable = host::ExecutablePath();
  const std::size_t slash = executable.find_last_of("/\\");
  const std::string folder =
      slash == std::string::npos ? "." : executable.substr(0, slash);
  return folder + "/" + host::PluginFileName();
}

const Registered *Find(const std::string &keyword) {
  for (const Registered &registered : Registrations()) {
    if (registered.keyword == keyword) {
      return &registered;
    }
  }
  return nullptr;
}

int Fail(const std::string &message) {
  std::fprintf(stderr, "directive-measure: %s\n", message.c_str());
  return 2;
}

} // namespace

extern "C" DIRECTIVE_HOST_EXPORT DirectiveBool DIRECTIVE_CALL
RegisterParseAssemblePlugins(const char *keyword, ParseProc parse,
                             AssembleProc assemble) {
  Registrations().push_back({keyword, parse, assemble});
  return 1;
}

int main(int argc, char **argv) {
  if (argc != 3) {
    return Fail("usage: directive-measure CASE CALLS | --bytes CASE");
  }
  const bool bytesOnly = std::string(argv[1]) == "--bytes";
  BenchCase bench;
  const char *id = bytesOnly ? argv[2] : argv[1];
  if (!FindCase(id, bench)) {
    return Fail(std::string("no such case: ") + id);
  }
  if (bytesOnly) {
    std::printf("%zu\n", bench.input.size());
    return 0;
  }
  char *end = nullptr;
  const unsigned long calls = std::strtoul(argv[2], &end, 10);
  if (*argv[2] == '\0' || *end != '\0') {
    return Fail(std::string("not a count: ") + argv[2]);
  }

  std::string error;
  const host::LoadedModuleHandle module = host::LoadModule(PluginPath(), error);
  if (module == nullptr) {
    return Fail(error);
  }
  const auto autoRegister = reinterpret_cast<AutoRegisterProc>(
      host::FindExport(module, DIRECTIVE_AUTO_REGISTER));
  if (autoRegister == nullptr) {
    return Fail("the module has no AutoRegister");
  }
  autoRegister();
  const Registered *callbacks = Find(bench.keyword);
  if (callbacks == nullptr) {
    return Fail("not registered: " + bench.keyword);
  }

  // One buffer for every call, as a host reuses its own.
  std::vector<char> out(DIRECTIVE_RESULT_CAPACITY);
  const char *input = bench.input.c_str();
  const char *keyword = bench.keyword.c_str();
  for (unsigned long i = 0; i < calls; ++i) {
    if (bench.kind == CallbackKind::Parse) {
      callbacks->parse(input, out.data(), 0);
    } else {
      callbacks->assemble(keyword, input, out.data());
    }
  }
  // A case whose callback writes nothing measures nothing useful.
  if (calls > 0 && out[0] == '\0') {
    return Fail("the callback wrote an empty result for " + bench.id);
  }
  Registrations().clear();
  host::UnloadModule(module);
  return 0;
}
