# Thin wrapper over the CMake presets. `make test` builds and runs every test
# and fails on any failure: the Linux suite first (fast feedback), then the
# Windows legs, the release packages, then the hardening legs.
.PHONY: all build test test-linux test-windows demo clean

all: build

# CI services set CI; there every leg is mandatory, and a leg whose tools are
# missing fails instead of being skipped with a note.
STRICT := $(if $(filter-out 0 false no,$(CI)),yes)

# Fails under CI, or prints a note elsewhere: $(1) is what is missing, $(2)
# the leg.
missing = { if [ -n "$(STRICT)" ]; then echo "$(1) is missing for $(2)" >&2; \
	exit 1; fi; echo "note: skipping $(2): $(1) is not installed"; }

build:
	cmake --preset linux
	cmake --build --preset linux

test:
	@$(MAKE) --no-print-directory test-linux
	@$(MAKE) --no-print-directory test-windows
	@$(MAKE) --no-print-directory test-packages
	@$(MAKE) --no-print-directory test-hardening

test-linux: build
	ctest --preset linux

# The Windows DLLs, 32-bit (the native platform) and 64-bit, each with the
# whole suite under Wine.
.PHONY: test-windows-x86 test-windows-x64
test-windows:
	@$(MAKE) --no-print-directory test-windows-x86
	@$(MAKE) --no-print-directory test-windows-x64

have_wine32 = command -v i686-w64-mingw32-g++-win32 >/dev/null 2>&1 && \
	command -v wine >/dev/null 2>&1
have_wine64 = command -v x86_64-w64-mingw32-g++-win32 >/dev/null 2>&1 && \
	{ command -v wine64 || test -x /usr/lib/wine/wine64; } >/dev/null 2>&1

test-windows-x86:
	@if $(have_wine32); then \
	  cmake --preset windows && cmake --build --preset windows && \
	  ctest --preset windows; \
	else $(call missing,i686-w64-mingw32-g++-win32 or wine,the 32-bit Windows leg); fi

test-windows-x64:
	@if $(have_wine64); then \
	  cmake --preset windows-x64 && cmake --build --preset windows-x64 && \
	  ctest --preset windows-x64; \
	else $(call missing,x86_64-w64-mingw32-g++-win32 or wine64,the 64-bit Windows leg); fi

clean:
	rm -rf build

# Release packages in $(PACKAGES): Linux .tar.gz and .deb, and a .zip for each
# Windows architecture where the cross compilers are installed. Each is
# built from its preset's build tree (only what is installed).
.PHONY: package test-packages
PACKAGES := build/packages
VERSION := $(shell sed -n 's/^\#define DIRECTIVE_PLUGIN_VERSION_STRING "\(.*\)"$$/\1/p' include/directive_plugin.h)
have_mingw = command -v i686-w64-mingw32-g++-win32 >/dev/null 2>&1 && \
	command -v x86_64-w64-mingw32-g++-win32 >/dev/null 2>&1

package: build
	rm -rf $(PACKAGES)
	cpack --config build/linux/CPackConfig.cmake -B $(PACKAGES)
	@if $(have_mingw); then \
	  for preset in windows windows-x64; do \
	    cmake --preset $$preset && \
	    cmake --build --preset $$preset --target DirectivePlugin directive-host && \
	    cpack --config build/$$preset/CPackConfig.cmake -B $(PACKAGES) || exit 1; \
	  done; \
	else $(call missing,the mingw-w64 cross compilers,the Windows packages); fi
	rm -rf $(PACKAGES)/_CPack_Packages
	@ls -1 $(PACKAGES)

# Unpacks every package and runs its directive-host where it lands (the
# zips under Wine).
test-packages: package
	@if $(have_wine32) && $(have_wine64); then \
	  tests/packages/check_packages.sh $(PACKAGES) $(VERSION) --windows; \
	else \
	  tests/packages/check_packages.sh $(PACKAGES) $(VERSION) && \
	  $(call missing,wine with wine32 and wine64,the Windows packages' test); \
	fi

# Shows what formatting the example script changes, as a unified diff
# (format --diff exits 1 when there are changes, which is the point here).
DEMO_SCRIPT := examples/nightly-backup.script
demo:
	cmake --preset linux
	cmake --build --preset linux --target directive-host
	@echo
	@echo '$$ directive-host format --diff $(DEMO_SCRIPT)'
	@build/linux/bin/directive-host format --diff $(DEMO_SCRIPT) || test $$? -eq 1

# Hardening legs: the whole suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, the concurrency test under ThreadSanitizer, the
# test hosts under valgrind memcheck and every fuzz target over its seeds.
.PHONY: test-hardening test-sanitize test-tsan test-memcheck fuzz-build \
	fuzz-regression fuzz

FUZZ_SECONDS ?= 60
FUZZ_TARGETS := label_goto_parse_fuzzer label_goto_assemble_fuzzer \
	if_parse_fuzzer if_assemble_fuzzer property_list_fuzzer \
	label_goto_parse_diff_fuzzer label_goto_assemble_diff_fuzzer \
	if_parse_diff_fuzzer if_assemble_diff_fuzzer lsp_session_fuzzer
FUZZ_SCRATCH := build/fuzz-scratch

have_valgrind = command -v valgrind >/dev/null 2>&1
# clang that can link a libFuzzer target.
have_libfuzzer = printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }' | \
	clang++ -fsanitize=fuzzer -x c++ - -o /dev/null >/dev/null 2>&1

test-hardening:
	@$(MAKE) --no-print-directory test-sanitize
	@$(MAKE) --no-print-directory test-tsan
	@$(MAKE) --no-print-directory test-memcheck
	@$(MAKE) --no-print-directory fuzz-regression

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
# when a callback exceeds its target. Then directive-host's format and lint
# (instructions and peak heap against theirs), and the instructions of
# directive-host lsp per change and request on a 10,000-line script.
bench-check: build
	bench/measure.sh --check build/linux/bin/directive-measure
	bench/host_cost.sh --check build/linux/bin/directive-host
	bench/measure_lsp.sh --check build/linux/bin/directive-host
