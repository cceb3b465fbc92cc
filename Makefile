# Thin wrapper over the CMake presets. `make test` builds and runs every test
# and fails on any failure: the Linux suite first (fast feedback), then the
# Windows legs, the release packages, then the hardening legs, and ends with
# a line per leg. Every leg first gets its tools from tools/deps.sh, which
# installs them as root on Debian and otherwise says what to run.
.PHONY: all build test test-linux test-windows demo clean

all: build

# CI services set CI; there every leg is mandatory, and a leg whose tools are
# missing fails instead of being skipped with a note.
STRICT := $(if $(filter-out 0 false no,$(CI)),yes)

# Fails under CI, or prints a note elsewhere: $(1) is what is missing, $(2)
# the leg.
missing = { if [ -n "$(STRICT)" ]; then echo "$(1) is missing for $(2)" >&2; \
	exit 1; fi; echo "note: skipping $(2): $(1) is not installed"; }

DEPS := tools/deps.sh

build:
	@$(DEPS) linux
	cmake --preset linux
	cmake --build --preset linux

# SKIP names legs to leave out (linux windows-x86 windows-x64 packages
# hardening), say where their tools cannot be had; refused under CI.
test:
	@tools/test-legs.sh $(SKIP)

test-linux: build
	ctest --preset linux

# The Windows DLLs, 32-bit (the native platform) and 64-bit, each with the
# whole suite under Wine.
.PHONY: test-windows-x86 test-windows-x64
test-windows:
	@$(MAKE) --no-print-directory test-windows-x86
	@$(MAKE) --no-print-directory test-windows-x64

# Where this machine cannot run 32-bit programs the leg is built and its
# tests are not run, and it says so.
test-windows-x86:
	@$(DEPS) windows-x86
	cmake --preset windows
	cmake --build --preset windows
	@if why=$$($(DEPS) --runs windows-x86); then ctest --preset windows; \
	else echo "note: the 32-bit Windows tests are not run: $$why"; fi

test-windows-x64:
	@$(DEPS) windows-x64
	cmake --preset windows-x64
	cmake --build --preset windows-x64
	ctest --preset windows-x64

clean:
	rm -rf build

# Release packages in $(PACKAGES): Linux .tar.gz and .deb, and a .zip for each
# Windows architecture where the Windows legs' tools are installed. Each is
# built from its preset's build tree (only what is installed).
.PHONY: package test-packages
PACKAGES := build/packages
VERSION := $(shell sed -n 's/^\#define DIRECTIVE_PLUGIN_VERSION_STRING "\(.*\)"$$/\1/p' include/directive_plugin.h)
have_windows = $(DEPS) --check windows-x86 windows-x64 >/dev/null

package: build
	rm -rf $(PACKAGES)
	cpack --config build/linux/CPackConfig.cmake -B $(PACKAGES)
	@if $(have_windows); then \
	  for preset in windows windows-x64; do \
	    cmake --preset $$preset && \
	    cmake --build --preset $$preset --target DirectivePlugin directive-host && \
	    cpack --config build/$$preset/CPackConfig.cmake -B $(PACKAGES) || exit 1; \
	  done; \
	else $(call missing,the Windows legs' tools,the Windows packages); fi
	rm -rf $(PACKAGES)/_CPack_Packages
	@ls -1 $(PACKAGES)

# Unpacks every package and runs its directive-host where it lands (the
# zips under Wine); lintian checks the .deb.
test-packages:
	@$(DEPS) packages
	@$(MAKE) --no-print-directory package
	@if $(have_windows); then \
	  tests/packages/check_packages.sh $(PACKAGES) $(VERSION) --windows; \
	else \
	  tests/packages/check_packages.sh $(PACKAGES) $(VERSION) && \
	  $(call missing,the Windows legs' tools,the Windows packages' test); \
	fi

# Shows what formatting the example script changes, as a unified diff, with
# lint's reason under each line that changes into something unexpected. It
# builds directive-host and the module it loads, nothing else.
DEMO_SCRIPT := examples/nightly-backup.script
demo:
	@$(DEPS) demo
	cmake --preset linux
	cmake --build --preset linux --target directive-host
	@echo
	@tools/demo.sh build/linux/bin/directive-host $(DEMO_SCRIPT)

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

test-hardening:
	@$(MAKE) --no-print-directory test-sanitize
	@$(MAKE) --no-print-directory test-tsan
	@$(MAKE) --no-print-directory test-memcheck
	@$(MAKE) --no-print-directory fuzz-regression

test-sanitize:
	@$(DEPS) linux
	cmake --preset asan
	cmake --build --preset asan -j2
	ctest --preset asan

test-tsan:
	@$(DEPS) linux
	cmake --preset tsan
	cmake --build --preset tsan -j2
	ctest --preset tsan

test-memcheck: build
	@$(DEPS) hardening
	ctest --test-dir build/linux -C Memcheck -L memcheck -j2 \
	  --no-tests=error --output-on-failure

fuzz-build:
	@$(DEPS) demo hardening
	cmake --preset fuzz
	cmake --build --preset fuzz -j2

fuzz-regression: fuzz-build
	ctest --preset fuzz

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
# Benchmark.
.PHONY: bench bench-check bench-deps
bench-deps:
	@$(DEPS) bench

bench: bench-deps build
	build/linux/bin/directive-bench --benchmark_min_time=0.2

# Instructions and heap allocations per call, counted with valgrind; fails
# when a callback exceeds its target. Then directive-host's format and lint
# (instructions and peak heap against theirs), and the instructions of
# directive-host lsp per change and request on a 10,000-line script.
bench-check: bench-deps build
	bench/measure.sh --check build/linux/bin/directive-measure
	bench/host_cost.sh --check build/linux/bin/directive-host
	bench/measure_lsp.sh --check build/linux/bin/directive-host
	@$(MAKE) --no-print-directory bench-windows

# The measuring host of each Windows build under Wine beside the Linux one:
# the callbacks' calls into the locale (checked) and their times against a
# strlen+memcpy baseline (shown).
.PHONY: bench-windows
bench-windows: build
	@builds=; \
	if $(DEPS) --check windows-x86 >/dev/null; then builds="$$builds build/windows"; \
	else $(call missing,the 32-bit Windows leg's tools,the 32-bit Windows bench); fi; \
	if $(DEPS) --check windows-x64 >/dev/null; then builds="$$builds build/windows-x64"; \
	else $(call missing,the 64-bit Windows leg's tools,the 64-bit Windows bench); fi; \
	for build in $$builds; do \
	  preset=$${build#build/}; \
	  cmake --preset $$preset >/dev/null && \
	  cmake --build --preset $$preset --target directive-measure || exit 1; \
	done; \
	if [ -n "$$builds" ]; then bench/windows_cost.sh --check build/linux $$builds; fi
