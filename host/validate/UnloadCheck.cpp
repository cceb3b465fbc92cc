#include "platform/HostFiles.h"
#include "platform/ProcessProbe.h"
#include "validate/Checks.h"
#include "validate/Subject.h"

#include <algorithm>
#include <filesystem>

namespace directive_host::validate {

namespace {

constexpr int kWarmUpCycles = 20;
constexpr int kLeastCycles = 200;
// Growth allowed over the cycles after the warm-up. A leak of 8 KiB a cycle
// exceeds it; the loader's and the allocator's noise stays well below.
constexpr long long kMemoryBound = 1024 * 1024;
constexpr long long kHandleBound = 8;

// A sanitizer's own bookkeeping grows the process with every load; its leak
// checker judges memory there instead.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kMemoryJudged = false;
#else
constexpr bool kMemoryJudged = true;
#endif

// One cycle: load, register, call every callback once or twice, unload.
void Cycle(const CheckContext &context) {
  const ModuleUnderTest module(context.module);
  const std::vector<KeywordHandler> keywords = Callable(module.Register());
  OutBuffer buffer;
  for (std::size_t k = 0; k < keywords.size(); ++k) {
    const Call parse{Call::Kind::kParse, k, keywords[k].keyword + " x",
                     std::nullopt};
    const auto properties = ResultOf(parse, keywords, buffer);
    ResultOf({Call::Kind::kAssemble, k, properties.value_or(""),
              keywords[k].keyword},
             keywords, buffer);
  }
}

} // namespace

CheckResult CheckUnload(const CheckContext &context) {
  {
    const Subject subject(context, false);
    if (const auto skip = subject.Skip()) {
      return *skip;
    }
  }
  CrashNote note;
  const Budget budget;
  note.Set("while it was loaded, registered, called and unloaded over and "
           "over");
  for (int i = 0; i < kWarmUpCycles; ++i) {
    Cycle(context);
  }
  const auto memoryBefore =
      static_cast<long long>(platform::ProcessMemoryBytes());
  const auto handlesBefore =
      static_cast<long long>(platform::ProcessHandleCount());
  // The least number of cycles, and more, up to two an iteration, while the
  // budget lasts.
  int cycles = 0;
  for (; cycles < kLeastCycles ||
         (cycles < 2 * context.iterations && !budget.Spent());
       ++cycles) {
    Cycle(context);
  }
  const long long memory =
      static_cast<long long>(platform::ProcessMemoryBytes()) - memoryBefore;
  const long long handles =
      static_cast<long long>(platform::ProcessHandleCount()) - handlesBefore;
  const std::string counts = std::to_string(kWarmUpCycles + cycles) +
                             " cycles of load, register, call and unload";
  if (kMemoryJudged && memoryBefore > 0 && memory > kMemoryBound) {
    return Failed(counts + ": the process grew by " + Growth(memory) +
                  " over the last " + std::to_string(cycles) + " (at most " +
                  Growth(kMemoryBound) + " allowed)");
  }
  if (handlesBefore > 0 && handles > kHandleBound) {
    return Failed(counts + ": the process holds " + std::to_string(handles) +
                  " more handles after the last " + std::to_string(cycles));
  }
  std::string detail =
      counts + ": memory " +
      (!kMemoryJudged     ? "not judged under a sanitizer"
       : memoryBefore > 0 ? Growth(memory)
                          : "not measured") +
      ", handles " +
      (handlesBefore > 0 ? (handles < 0 ? "" : "+") + std::to_string(handles)
                         : "not counted");
  const std::string file =
      platform::PathString(platform::FileSystemPath(context.module).filename());
  if (platform::ModuleIsLoaded(file)) {
    detail += "; note: the module stays mapped after it is unloaded";
  }
  return Passed(detail);
}

} // namespace directive_host::validate
