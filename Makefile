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
WINDOWS_TOOLS := $(shell command -v i686-w64-mingw32-g++-posix >/dev/null && \
                         command -v wine >/dev/null && echo yes)

test-windows:
ifeq ($(WINDOWS_TOOLS),yes)
	cmake --preset windows
	cmake --build --preset windows
	ctest --preset windows
else ifeq ($(CI),true)
	@echo "Windows leg: i686-w64-mingw32-g++-posix and wine are required with CI=true" >&2
	@exit 1
else
	@echo "SKIPPED the Windows leg: i686-w64-mingw32-g++-posix or wine is not installed"
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
