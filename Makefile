# Thin wrapper over the CMake presets. `make test` builds and runs every test
# and fails on any failure.
.PHONY: all build test test-windows demo clean

all: build

build:
	cmake --preset linux
	cmake --build --preset linux

test: build
	ctest --preset linux
	@$(MAKE) --no-print-directory test-windows

# The 32-bit Windows DLL and the whole suite under Wine. Runs when the
# mingw-w64 cross compiler and Wine are installed; with CI=true it must.
WINDOWS_TOOLS := $(shell command -v i686-w64-mingw32-g++-win32 >/dev/null && \
                         command -v wine >/dev/null && echo yes)

test-windows:
ifeq ($(WINDOWS_TOOLS),yes)
	cmake --preset windows
	cmake --build --preset windows
	ctest --preset windows
else ifeq ($(CI),true)
	@echo "Windows leg: i686-w64-mingw32-g++-win32 and wine are required with CI=true" >&2
	@exit 1
else
	@echo "SKIPPED the Windows leg: i686-w64-mingw32-g++-win32 or wine is not installed"
endif

clean:
	rm -rf build

# Formats the example script and shows what changes as a unified diff
# (diff exits 1 when there are differences, which is the point here).
DEMO_SCRIPT := examples/nightly-backup.script
demo:
	cmake --preset linux
	cmake --build --preset linux --target directive-host
	@echo
	@echo '$$ directive-host format $(DEMO_SCRIPT)'
	@build/linux/bin/directive-host format $(DEMO_SCRIPT) > build/linux/demo-formatted.script
	@diff -u --label $(DEMO_SCRIPT) --label 'formatted' $(DEMO_SCRIPT) build/linux/demo-formatted.script || test $$? -eq 1

# Hardening legs, part of `make test`: the whole suite under AddressSanitizer
# and UndefinedBehaviorSanitizer, the concurrency test under ThreadSanitizer,
# the test hosts under valgrind memcheck and every fuzz target over its seeds.
# Outside CI a leg whose tool is missing is skipped with a note; in CI
# (CI=true) it fails instead.
.PHONY: test-hardening test-sanitize test-tsan test-memcheck fuzz-build \
	fuzz-regression fuzz

FUZZ_SECONDS ?= 60
FUZZ_TARGETS := label_goto_parse_fuzzer label_goto_assemble_fuzzer \
	if_parse_fuzzer if_assemble_fuzzer property_list_fuzzer \
	label_goto_parse_diff_fuzzer label_goto_assemble_diff_fuzzer \
	if_parse_diff_fuzzer if_assemble_diff_fuzzer
FUZZ_SCRATCH := build/fuzz-scratch

# Fails in CI, or prints a note elsewhere: $(1) is what is missing, $(2) the
# leg.
missing = { if [ -n "$$CI" ]; then echo "$(1) is missing for $(2)" >&2; \
	exit 1; fi; echo "note: skipping $(2): $(1) is not installed"; }
have_valgrind = command -v valgrind >/dev/null 2>&1
# clang that can link a libFuzzer target.
have_libfuzzer = printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }' | \
	clang++ -fsanitize=fuzzer -x c++ - -o /dev/null >/dev/null 2>&1

test: test-hardening

test-hardening: test-sanitize test-tsan test-memcheck fuzz-regression

test-sanitize:
	cmake --preset asan
	cmake --build --preset asan -j2
	ctest --preset asan

test-tsan:
	cmake --preset tsan
	cmake --build --preset tsan -j2
	ctest --preset tsan

test-memcheck: build
	@if $(have_valgrind); then \
	  ctest --test-dir build/linux -C Memcheck -L memcheck -j2 \
	    --no-tests=error --output-on-failure; \
	else $(call missing,valgrind,memcheck); fi

fuzz-build:
	cmake --preset fuzz
	cmake --build --preset fuzz -j2

fuzz-regression:
	@if $(have_libfuzzer); then \
	  $(MAKE) --no-print-directory fuzz-build && ctest --preset fuzz; \
	else $(call missing,clang with libFuzzer,fuzz regression); fi

# Fuzzes each target for FUZZ_SECONDS. New inputs go to $(FUZZ_SCRATCH), never
# into the committed seeds; so do crash reproducers.
fuzz: fuzz-build
	@for target in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_SCRATCH)/$$target; \
	  log=$(FUZZ_SCRATCH)/$$target.log; \
	  echo "fuzzing $$target for $(FUZZ_SECONDS) s"; \
	  if ! LC_ALL=C.UTF-8 build/fuzz/bin/$$target \
	      -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	      -dict=fuzz/directives.dict \
	      -artifact_prefix=$(FUZZ_SCRATCH)/$$target- \
	      $(FUZZ_SCRATCH)/$$target fuzz/corpus/$$target >$$log 2>&1; then \
	    tail -n 40 $$log; echo "$$target failed; see $$log" >&2; exit 1; \
	  fi; \
	  grep -E '^stat::number_of_executed_units' $$log; \
	done

# Timings of every callback beside a strlen+memcpy baseline, with Google
# Benchmark (apt-get install libbenchmark-dev).
.PHONY: bench bench-check
bench: build
	@test -x build/linux/bin/directive-bench || { \
	  echo "make bench needs Google Benchmark: apt-get install libbenchmark-dev" >&2; \
	  exit 1; }
	build/linux/bin/directive-bench --benchmark_min_time=0.2

# Instructions and heap allocations per call, counted with valgrind; fails
# when a callback exceeds its target.
bench-check: build
	bench/measure.sh --check build/linux/bin/directive-measure
