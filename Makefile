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
