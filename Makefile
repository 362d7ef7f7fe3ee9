# The two quick-start commands; everything else is CMake.
.PHONY: run test build deps asan fuzz bench bench-ratios format web web-serve web-test tiled-test pictures windows windows-test
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

# tarn-tiled's maps against the real Tiled, headless (installs Tiled: it pulls Qt).
tiled-test: build
	@bash scripts/deps.sh --tiled
	TARN_REAL_TILED=1 ctest --preset release -R RealTiled --output-on-failure

bench: build
	./build/bench/tarn-bench

# The README's pictures into docs/pictures (the GIFs over 300 KB into build/pictures).
pictures: build
	bash scripts/pictures.sh make build/tarn-run build/game docs/pictures build/pictures

# Each frame against its memory floor only (no peer), the quickest of three
# interleaved runs each: a quick look, as CI prints it.
bench-ratios: build
	./build/bench/tarn-bench --benchmark_filter='(Frame|Floor)(/[0-9])?$$' --benchmark_min_time=0.1 \
		--benchmark_repetitions=3 --benchmark_enable_random_interleaving=true

# .clang-format over every tracked C++ file (FORMAT_FILES="..." for fewer).
FORMAT_FILES ?= $(shell git ls-files '*.cpp' '*.h')
format:
	@bash scripts/deps.sh --format
	clang-format -i $(FORMAT_FILES)

# Tarn in the browser: build-web/tarn.html with its .js, .wasm and .data.
WEB_DIR := build-web
# SDL2 and ImGui for the browser; point it outside the tree to keep them across clones.
WEB_DEPS ?= $(CURDIR)/$(WEB_DIR)/deps
WEB_PORT ?= 8000
export NODE_PATH := /usr/share/nodejs

web:
	@bash scripts/web-deps.sh $(WEB_DIR) $(WEB_DEPS)
	@bash scripts/deps.sh
	cmake --preset release >/dev/null
	cmake --build --preset release --target tarn-mkdemo tarn-run
	@# A new demo folder only when its bytes changed, so tarn.data is not remade for nothing.
	rm -rf $(WEB_DIR)/game.new && ./build/tarn-mkdemo $(WEB_DIR)/game.new >/dev/null
	if diff -r -q $(WEB_DIR)/game $(WEB_DIR)/game.new >/dev/null 2>&1; then rm -rf $(WEB_DIR)/game.new; \
	else rm -rf $(WEB_DIR)/game && mv $(WEB_DIR)/game.new $(WEB_DIR)/game; fi
	emcmake cmake -S . -B $(WEB_DIR) -DCMAKE_BUILD_TYPE=Release -DTARN_DEMO_DIR=$(CURDIR)/$(WEB_DIR)/game \
	  -DTARN_WEB_DEPS=$(WEB_DEPS) >/dev/null
	cmake --build $(WEB_DIR) -j2

web-serve: web
	@echo "Tarn: http://127.0.0.1:$(WEB_PORT)/tarn.html"
	cd $(WEB_DIR) && python3 -m http.server --bind 127.0.0.1 $(WEB_PORT)

web-test: web
	bash scripts/web-test.sh $(WEB_DIR) $(WEB_DEPS)

# Tarn for 64-bit Windows: build-windows/tarn-windows.zip, cross-built with MinGW-w64.
WINDOWS_DIR := build-windows
# SDL2, ImGui and GoogleTest for Windows; point it outside the tree to keep them across clones.
WINDOWS_DEPS ?= $(CURDIR)/$(WINDOWS_DIR)/deps
# The tests built for Windows: all, or ci (those of what differs there; .ci/run).
WINDOWS_TEST_SET ?= all
# 1 builds SDL2 for Windows unoptimised, quicker, for the tests only (.ci/run).
WINDOWS_QUICK_SDL ?= 0
# 1 builds tarn-tiled.exe too, and its libraries (libpng, pugixml, zstd) for Windows.
WINDOWS_TILED ?= 1

windows:
	@WINDOWS_QUICK_SDL=$(WINDOWS_QUICK_SDL) WINDOWS_TILED=$(WINDOWS_TILED) bash scripts/windows-deps.sh $(WINDOWS_DIR) $(WINDOWS_DEPS)
	@bash scripts/deps.sh
	cmake --preset release >/dev/null
	cmake --build --preset release --target tarn-mkdemo tarn-run $(if $(filter 1,$(WINDOWS_TILED)),tarn-tiled)
	rm -rf $(WINDOWS_DIR)/game && ./build/tarn-mkdemo $(WINDOWS_DIR)/game >/dev/null
	cmake -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
	  -DTARN_WINDOWS_DEPS=$(WINDOWS_DEPS) -DTARN_WINDOWS_TEST_SET=$(WINDOWS_TEST_SET) \
	  -DTARN_WINDOWS_TILED=$(if $(filter 1,$(WINDOWS_TILED)),ON,OFF) >/dev/null
	cmake --build $(WINDOWS_DIR) -j2
	$(if $(filter 1,$(WINDOWS_TILED)),,rm -f $(WINDOWS_DIR)/tarn-tiled.exe)
	bash scripts/windows-zip.sh $(WINDOWS_DIR) $(WINDOWS_DEPS)

windows-test: windows
	cmake --build $(WINDOWS_DIR) -j2 --target tarn-tests
	bash scripts/windows-test.sh $(WINDOWS_DIR)
