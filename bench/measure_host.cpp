// A host that loads the built plug-in module, registers it and calls one
// callback on one bench case a given number of times (or, with --bytes,
// prints the size of the case's input). Run under valgrind
// with N and with 2N calls, the difference of the two counts is what N calls
// cost, free of start-up and loading. With --time it prints the wall time of
// one call instead, the mean of the N calls: the one timing that also runs
// where valgrind cannot, as the Windows builds under Wine. --baseline times
// a strlen and memcpy of the same input into the same buffer, so that a
// callback's time can be read as a multiple of it on each platform alike;
// --locale-calls prints the calls of one callback into the system's locale
// comparison (Windows).
#include "BenchCases.h"
#include "LocaleCalls.h"
#include "directive_plugin.h"
#include "platform/ModuleLoader.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
  return directive_host::platform::PluginBesideExecutable();
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
  const std::string mode = argc > 1 ? argv[1] : "";
  const bool bytesOnly = mode == "--bytes";
  const bool timed = mode == "--time";
  const bool baseline = mode == "--baseline";
  const bool localeCalls = mode == "--locale-calls";
  const bool flagged = bytesOnly || timed || baseline || localeCalls;
  if (argc != (flagged && !bytesOnly ? 4 : 3)) {
    return Fail("usage: directive-measure [--time | --baseline | "
                "--locale-calls] CASE CALLS | --bytes CASE");
  }
  BenchCase bench;
  const char *id = flagged ? argv[2] : argv[1];
  if (!FindCase(id, bench)) {
    return Fail(std::string("no such case: ") + id);
  }
  if (bytesOnly) {
    std::printf("%zu\n", bench.input.size());
    return 0;
  }
  const char *count = argv[flagged ? 3 : 2];
  char *end = nullptr;
  const unsigned long calls = std::strtoul(count, &end, 10);
  if (*count == '\0' || *end != '\0') {
    return Fail(std::string("not a count: ") + count);
  }

  std::string error;
  const directive_host::platform::LoadedModuleHandle module =
      directive_host::platform::LoadModule(PluginPath(), error);
  if (module == nullptr) {
    return Fail(error);
  }
  const auto autoRegister = reinterpret_cast<AutoRegisterProc>(
      directive_host::platform::FindExport(module, DIRECTIVE_AUTO_REGISTER));
  if (autoRegister == nullptr) {
    return Fail("the module has no AutoRegister");
  }
  autoRegister();
  const Registered *callbacks = Find(bench.keyword);
  if (callbacks == nullptr) {
    return Fail("not registered: " + bench.keyword);
  }

  if (localeCalls && !bench::CountLocaleCalls(module)) {
    return Fail("calls into the locale are not counted here");
  }

  // One buffer for every call, as a host reuses its own.
  std::vector<char> out(DIRECTIVE_RESULT_CAPACITY);
  const char *input = bench.input.c_str();
  const char *keyword = bench.keyword.c_str();
  const auto start = std::chrono::steady_clock::now();
  for (unsigned long i = 0; i < calls; ++i) {
    if (baseline) {
      // Hidden from the optimiser each time, so that strlen is not hoisted.
      asm volatile("" : "+r"(input));
      std::memcpy(out.data(), input, std::strlen(input) + 1);
      asm volatile("" : : "r"(out.data()) : "memory");
    } else if (bench.kind == CallbackKind::Parse) {
      callbacks->parse(input, out.data(), 0);
    } else {
      callbacks->assemble(keyword, input, out.data());
    }
  }
  const std::chrono::duration<double, std::nano> elapsed =
      std::chrono::steady_clock::now() - start;
  if (calls > 0 && (timed || baseline)) {
    std::printf("%.1f\n", elapsed.count() / static_cast<double>(calls));
  }
  if (calls > 0 && localeCalls) {
    std::printf("%.2f\n", static_cast<double>(bench::LocaleCallsCounted()) /
                              static_cast<double>(calls));
  }
  // A case whose callback writes nothing measures nothing useful.
  if (calls > 0 && out[0] == '\0') {
    return Fail("the callback wrote an empty result for " + bench.id);
  }
  Registrations().clear();
  directive_host::platform::UnloadModule(module);
  return 0;
}
