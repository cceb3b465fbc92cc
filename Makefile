# Thin wrapper over the CMake presets. `make test` builds and runs every test
# and fails on any failure.
.PHONY: all build test demo clean

all: build

build:
	cmake --preset linux
	cmake --build --preset linux

test: build
	ctest --preset linux

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
