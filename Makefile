# The two quick-start commands; everything else is CMake.
.PHONY: run test build deps asan fuzz bench
FUZZ_SECONDS ?= 60

deps:
	@bash scripts/deps.sh

build: deps
	cmake --preset release >/dev/null
	cmake --build --preset release

run: build
	cd build/game && ../tarn

test: build
	ctest --preset release

# The whole suite under the address and undefined-behaviour sanitizers (clang).
asan:
	@bash scripts/deps.sh --sanitize
	cmake --preset asan >/dev/null
	cmake --build --preset asan
	ctest --preset asan

# Every fuzz target for FUZZ_SECONDS on its corpus; a finding fails.
fuzz: build
	@bash scripts/deps.sh --sanitize
	bash scripts/fuzz.sh $(FUZZ_SECONDS)

bench: build
	./build/bench/tarn-bench
