// Google Benchmark of every callback on typical directives and of IfParse
// over growing inputs. Each case runs beside a baseline that only measures
// the input's length and copies it into an out buffer, the least any
// callback could do with the same bytes. Heap allocations are counted by
// replacing malloc, where the plug-in takes its memory, and the global
// operator new of this program, which takes its memory from malloc.
#include "BenchCases.h"
#include "GotoLabelPlugin.h"
#include "IfDirectivePlugin.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <new>
#include <string>
#include <vector>

namespace {

std::atomic<std::size_t> allocationCount{0};

void CountAllocation() {
  allocationCount.fetch_add(1, std::memory_order_relaxed);
}

void *Allocate(std::size_t size, std::size_t alignment) {
  size = size == 0 ? 1 : size;
  if (alignment > alignof(std::max_align_t)) {
    CountAllocation(); // malloc, which counts the rest, is passed by
  }
  void *memory = alignment <= alignof(std::max_align_t)
                     ? std::malloc(size)
                     : std::aligned_alloc(alignment, (size + alignment - 1) /
                                                         alignment * alignment);
  if (memory == nullptr) {
    throw std::bad_alloc();
  }
  return memory;
}

// Out of line, so that GCC, which inlines the replaced operator delete into
// its callers, does not take its free() for a mismatch with operator new
// (-Wmismatched-new-delete at -Os).
[[gnu::noinline]] void Release(void *memory) noexcept { std::free(memory); }

} // namespace

// glibc's own malloc stays reachable under this name, so that replacing
// malloc takes no more than counting and passing the call on.
extern "C" void *__libc_malloc(std::size_t size);
extern "C" void *malloc(std::size_t size) noexcept {
  CountAllocation();
  return __libc_malloc(size);
}

void *operator new(std::size_t size) {
  return Allocate(size, alignof(std::max_align_t));
}
void *operator new(std::size_t size, std::align_val_t alignment) {
  return Allocate(size, static_cast<std::size_t>(alignment));
}
void operator delete(void *memory) noexcept { Release(memory); }
void operator delete(void *memory, std::size_t) noexcept { Release(memory); }
void operator delete(void *memory, std::align_val_t) noexcept {
  Release(memory);
}
void operator delete(void *memory, std::size_t, std::align_val_t) noexcept {
  Release(memory);
}

namespace {

constexpr char kBaselineSuffix[] = "/baseline";

struct Callbacks {
  ParseProc parse;
  AssembleProc assemble;
};

// The callbacks AutoRegister hands the host for `keyword`.
Callbacks RegisteredFor(const std::string &keyword) {
  if (keyword == "#IF") {
    return {IfParse, IfAssemble};
  }
  return {LabelGotoParse, LabelGotoAssemble};
}

void CountPerCall(benchmark::State &state, const BenchCase &bench,
                  std::size_t allocationsBefore) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(bench.input.size()));
  state.counters["allocs"] = benchmark::Counter(
      static_cast<double>(allocationCount.load() - allocationsBefore),
      benchmark::Counter::kAvgIterations);
}

void RunCallback(benchmark::State &state, const BenchCase &bench) {
  std::vector<char> out(DIRECTIVE_RESULT_CAPACITY);
  const char *input = bench.input.c_str();
  const char *keyword = bench.keyword.c_str();
  const Callbacks callbacks = RegisteredFor(bench.keyword);
  const std::size_t before = allocationCount.load();
  for (auto _ : state) {
    if (bench.kind == CallbackKind::Parse) {
      callbacks.parse(input, out.data(), 0);
    } else {
      callbacks.assemble(keyword, input, out.data());
    }
    benchmark::ClobberMemory();
  }
  CountPerCall(state, bench, before);
  if (out[0] == '\0') {
    state.SkipWithError("the callback wrote an empty result");
  }
}

void RunBaseline(benchmark::State &state, const BenchCase &bench) {
  std::vector<char> out(DIRECTIVE_RESULT_CAPACITY);
  const char *input = bench.input.c_str();
  const std::size_t before = allocationCount.load();
  for (auto _ : state) {
    // Hidden from the optimiser each time, so that strlen is not hoisted.
    benchmark::DoNotOptimize(input);
    const std::size_t length = std::strlen(input);
    std::memcpy(out.data(), input, length + 1);
    benchmark::ClobberMemory();
  }
  CountPerCall(state, bench, before);
}

// Prints one row per case: its time, throughput and allocations, and its
// time as a multiple of its baseline's.
class SummaryReporter : public benchmark::BenchmarkReporter {
public:
  bool ReportContext(const Context &context) override {
    PrintBasicContext(&std::cout, context);
    return true;
  }

  void ReportRuns(const std::vector<Run> &runs) override {
    for (const Run &run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) {
        if (run.error_occurred) {
          std::cout << run.benchmark_name() << ": " << run.error_message
                    << '\n';
        }
        continue;
      }
      const std::string name = run.benchmark_name();
      if (results_.find(name) == results_.end()) {
        order_.push_back(name);
      }
      results_[name] = {run.GetAdjustedRealTime(),
                        run.counters.at("bytes_per_second").value,
                        run.counters.at("allocs").value};
    }
  }

  void Finalize() override {
    std::printf("\n%-18s %-18s %7s %10s %10s %11s %8s %7s\n", "case",
                "callback", "bytes", "ns/call", "MB/s", "baseline ns", "ratio",
                "allocs");
    for (const std::string &name : order_) {
      const std::size_t cut = name.size() - (sizeof kBaselineSuffix - 1);
      if (name.size() > sizeof kBaselineSuffix &&
          name.compare(cut, std::string::npos, kBaselineSuffix) == 0) {
        continue;
      }
      BenchCase bench;
      if (!FindCase(name, bench)) {
        continue;
      }
      const Result &result = results_.at(name);
      const auto baseline = results_.find(name + kBaselineSuffix);
      const double baselineNs =
          baseline == results_.end() ? 0 : baseline->second.nanoseconds;
      std::printf("%-18s %-18s %7zu %10.1f %10.1f %11.1f %8.1f %7.2f\n",
                  name.c_str(), bench.callback.c_str(), bench.input.size(),
                  result.nanoseconds, result.bytesPerSecond / 1e6, baselineNs,
                  baselineNs > 0 ? result.nanoseconds / baselineNs : 0.0,
                  result.allocations);
    }
  }

private:
  struct Result {
    double nanoseconds;
    double bytesPerSecond;
    double allocations;
  };
  std::vector<std::string> order_;
  std::map<std::string, Result> results_;
};

void Register(const BenchCase &bench) {
  benchmark::RegisterBenchmark(bench.id.c_str(), RunCallback, bench)
      ->Unit(benchmark::kNanosecond);
  benchmark::RegisterBenchmark((bench.id + kBaselineSuffix).c_str(),
                               RunBaseline, bench)
      ->Unit(benchmark::kNanosecond);
}

} // namespace

int main(int argc, char **argv) {
  for (const BenchCase &bench : TypicalCases()) {
    Register(bench);
  }
  for (const std::size_t size : IfParseSizes()) {
    Register(SizedIfParseCase(size));
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
