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
