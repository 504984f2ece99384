# Vantorix -- the two commands that matter: `make run` and `make test`.

JOBS        ?= $(shell nproc)
RELEASE_DIR := build/release
TEST_DIR    := build/test
FUZZ_DIR    := build/fuzz
BENCH_DIR   := build/bench
WINDOWS_DIR ?= build/windows
WINDOWS_OUT ?= build
WEB_BUILD_DIR := build/web-build
WEB_DIR     := build/web
PORT        ?= 8000
DEB_DIR     ?= build/deb
DEB_OUT     ?= build
FUZZ_SECONDS ?= 600

.PHONY: run test deps deps-test deps-lint deps-windows release fuzz-build fuzz bench textures snapshot \
        install deb windows windows-build web web-build serve bench-web deps-web format lint clean

# Build in Release and play, from the repository root. Escape (27), q (113) and Q (81) are the
# game's ways of quitting, not failures; any other status is passed on.
GAME := ./$(RELEASE_DIR)/vantorix
run: release
	@status=0; $(GAME) || status=$$?; \
	    case $$status in 0|27|81|113) ;; *) exit $$status ;; esac

# Build the sanitized test configuration and run every test. The browser tests load the pages
# of the Emscripten build tree.
test: deps-test fuzz-build windows-build web-build
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTORIX_BUILD_TESTS=ON \
	    -DVANTORIX_SANITIZE=ON -DVANTORIX_FUZZER=$(abspath $(FUZZ_DIR))/fuzz/bmp_fuzzer \
	    -DVANTORIX_WINDOWS_EXE=$(abspath $(WINDOWS_DIR))/vantorix.exe \
	    -DVANTORIX_WEB_BUILD_DIR=$(abspath $(WEB_BUILD_DIR))
	cmake --build $(TEST_DIR) -j $(JOBS)
	ctest --test-dir $(TEST_DIR) --output-on-failure -j $(JOBS)

# What building and playing need; the tests and the developer tools need the rest.
deps:
	@scripts/install-deps play

deps-test:
	@scripts/install-deps play test windows web

deps-lint:
	@scripts/install-deps play lint

deps-windows:
	@scripts/install-deps play windows

deps-web:
	@scripts/install-deps play web

configure_release := cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release

release: deps
	$(configure_release)
	cmake --build $(RELEASE_DIR) -j $(JOBS)

fuzz-build: deps-test
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DVANTORIX_BUILD_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS)

# A longer fuzzing session: make fuzz FUZZ_SECONDS=3600
fuzz: fuzz-build
	fuzz/run-fuzzer $(FUZZ_DIR)/fuzz/bmp_fuzzer $(FUZZ_SECONDS)

bench: deps-test
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DVANTORIX_BUILD_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	$(BENCH_DIR)/bench/tick_bench
	$(BENCH_DIR)/bench/frame_bench

# Redraw the eight pictures in textures/ from the generator's code.
textures: deps-test
	$(configure_release)
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target make-textures
	$(RELEASE_DIR)/tools/make-textures textures

# make snapshot VIEW=2 TICKS=120 LIVES=3 OVER=0 OUT=snapshot.png
snapshot: deps-test
	$(configure_release)
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target snapshot
	$(RELEASE_DIR)/tools/snapshot --view $(or $(VIEW),1) --ticks $(or $(TICKS),60) \
	    --lives $(or $(LIVES),3) $(if $(filter 1,$(OVER)),--game-over) --out $(or $(OUT),snapshot.png)

install: release
	cmake --install $(RELEASE_DIR) $(if $(PREFIX),--prefix $(PREFIX))

# The Debian package, built for /usr in its own folder: build/vantorix_VERSION_ARCH.deb
deb: deps
	packaging/make-deb $(DEB_DIR) $(DEB_OUT) $(JOBS)

# The Windows game, cross-built with MinGW-w64 and packed: build/vantorix-VERSION-win64.zip, the
# same bytes from every run (WINDOWS_DIR and WINDOWS_OUT choose other folders).
windows: windows-build
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target vantorix_zip

# build/windows/vantorix.exe (Release), with the icon drawn by the host's make-icon.
windows-build: deps-windows
	$(configure_release)
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target make-icon
	cmake -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	    -DCMAKE_BUILD_TYPE=Release -DVANTORIX_MAKE_ICON=$(abspath $(RELEASE_DIR))/data/make-icon \
	    -DVANTORIX_PACKAGE_DIR=$(abspath $(WINDOWS_OUT))
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target vantorix

# The browser game: build/web (the page and what it loads) and build/vantorix-VERSION-web.zip.
web: web-build
	$(EMSCRIPTEN_ENV) cmake --build $(WEB_BUILD_DIR) -j $(JOBS) --target vantorix_web_zip

# The browser build's tree: the game's page, the frame benchmark's page and the fixed-function
# layer's test page, built with Emscripten, with the favicon drawn by the host's make-icon.
# Debian's emcc finds its Node.js modules through NODE_PATH.
EMSCRIPTEN_ENV := NODE_PATH=/usr/share/nodejs
web-build: deps-web
	$(configure_release)
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target make-icon
	$(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(WEB_BUILD_DIR) -DCMAKE_BUILD_TYPE=Release \
	    -DVANTORIX_MAKE_ICON=$(abspath $(RELEASE_DIR))/data/make-icon \
	    -DVANTORIX_PACKAGE_DIR=$(abspath build)
	$(EMSCRIPTEN_ENV) cmake --build $(WEB_BUILD_DIR) -j $(JOBS)

# Serves build/web on 127.0.0.1 and prints the address to open: make serve PORT=8080
serve: web
	scripts/serve-web $(WEB_DIR) $(PORT)

# The late-game frame natively (OSMesa) and in the browser (WebGL, headless Chromium) on SwiftShader
# and on ANGLE over llvmpipe under Xvfb, one after the other on this machine: every set of
# medians, and the WebGL draws, calls and uploads per frame.
bench-web: deps-test web-build
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DVANTORIX_BUILD_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS) --target frame_bench
	bench/compare-web $(BENCH_DIR)/bench/frame_bench $(WEB_BUILD_DIR)

format: deps-lint
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

EMSCRIPTEN_SYSROOT := /usr/share/emscripten/cache/sysroot
EMSCRIPTEN_TIDY_FLAGS := --target=wasm32-unknown-emscripten -std=c++17 -D__EMSCRIPTEN__ \
    --sysroot=$(EMSCRIPTEN_SYSROOT) -nostdinc++ -isystem $(EMSCRIPTEN_SYSROOT)/include/c++/v1 \
    -isystem $(EMSCRIPTEN_SYSROOT)/include/compat -I src -I src/fixedgl/include
lint: deps-lint deps-web release
	cppcheck --quiet --error-exitcode=1 --enable=warning,style,performance --inline-suppr \
	    --suppress=missingIncludeSystem --std=c++17 -I src src tools bench data
	@# What this build compiles: the Windows-only files are checked by the Windows build's compiler.
	sed -n 's/.*"file": "\(.*\)".*/\1/p' $(RELEASE_DIR)/compile_commands.json | \
	    grep -E '/(src|data)/' | sort -u | xargs clang-tidy -p $(RELEASE_DIR) --quiet
	@# The browser's layer and its GL, as Emscripten's compiler sees them.
	clang-tidy --quiet src/app/web_*.cpp src/fixedgl/*.cpp src/fixedgl/*/*.cpp -- $(EMSCRIPTEN_TIDY_FLAGS)

clean:
	rm -rf build
