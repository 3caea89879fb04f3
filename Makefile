# Thin wrapper over the CMake presets. `make run` and `make test` install what is missing first.
PRESET ?= default
BUILD_DIR := build/$(PRESET)
# How long `make test` runs each fuzz target; `make fuzz FUZZ_SECONDS=600` for a long run.
FUZZ_SECONDS ?= 20

.PHONY: all deps build run test fuzz test-windows package-windows test-package bench asan clean

all: build

deps:
	./scripts/install-deps.sh build

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

run: build
	./$(BUILD_DIR)/app/freqsmith

test:
	./scripts/install-deps.sh build test
	./scripts/include-graph.sh
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)
	ctest --preset $(PRESET)
	$(MAKE) fuzz

# The fuzz targets under clang's sanitizers, each for FUZZ_SECONDS; a crash leaves its
# input in build/fuzz/runs/<target>/crashes.
fuzz:
	./scripts/install-deps.sh build test
	cmake --preset fuzz -DFREQSMITH_FUZZ_SECONDS=$(FUZZ_SECONDS)
	cmake --build --preset fuzz
	ctest --preset fuzz

# The Windows release in dist/: a zip and an installer, cross-built with MinGW-w64 against
# a Qt built here (the first time takes 15 to 35 minutes; see scripts/build-qt-windows.sh).
package-windows:
	./scripts/package-windows.sh

# The Windows release proven under Wine: the tests, the detection, the zip and the installer.
test-windows:
	./scripts/test-windows.sh

test-package:
	./scripts/test-package.sh

# The suite under the sanitizers, each build on its own: `make asan` all of it under
# AddressSanitizer and UndefinedBehaviorSanitizer, `make tsan` the unit and window tests
# (the detection's worker and the window it answers) under ThreadSanitizer, with clang.
# Neither runs the fuzz targets again: they are built with ASan and UBSan already.
.PHONY: tsan
asan tsan:
	./scripts/install-deps.sh build test
	cmake --preset $@
	cmake --build --preset $@
	ctest --preset $@

bench:
	./scripts/install-deps.sh build bench
	cmake --preset default
	cmake --build --preset default
	./build/default/bench/freqsmith_bench

clean:
	rm -rf build
