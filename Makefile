# Thin wrapper over the CMake presets. `make run` and `make test` install what is missing first.
PRESET ?= default
BUILD_DIR := build/$(PRESET)

.PHONY: all deps build run test test-windows test-package bench asan clean

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
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)
	ctest --preset $(PRESET)

# The Windows detection, cross-built and run under Wine.
test-windows:
	./scripts/test-windows.sh

test-package:
	./scripts/test-package.sh

asan:
	$(MAKE) test PRESET=asan

bench:
	./scripts/install-deps.sh build bench
	cmake --preset default
	cmake --build --preset default
	./build/default/bench/freqsmith_bench

clean:
	rm -rf build
