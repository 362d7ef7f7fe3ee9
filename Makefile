# The two quick-start commands; everything else is CMake.
.PHONY: run test build deps asan bench

deps:
	@bash scripts/deps.sh

build: deps
	cmake --preset release >/dev/null
	cmake --build --preset release

run: build
	cd build/game && ../tarn

test: build
	ctest --preset release

asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan
	ctest --preset asan

bench: build
	./build/bench/tarn-bench
