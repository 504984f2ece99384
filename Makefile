# Vantorix -- the two commands that matter: `make run` and `make test`.

JOBS        ?= $(shell nproc)
RELEASE_DIR := build/release
TEST_DIR    := build/test
FUZZ_DIR    := build/fuzz
BENCH_DIR   := build/bench
FUZZ_SECONDS ?= 600

.PHONY: run test deps release fuzz-build fuzz bench textures snapshot install format lint clean

# Build in Release and play, from the repository root.
run: release
	./$(RELEASE_DIR)/vantorix

# Build the sanitized test configuration and run every test.
test: deps fuzz-build
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTORIX_BUILD_TESTS=ON \
	    -DVANTORIX_SANITIZE=ON -DVANTORIX_FUZZER=$(abspath $(FUZZ_DIR))/fuzz/bmp_fuzzer
	cmake --build $(TEST_DIR) -j $(JOBS)
	ctest --test-dir $(TEST_DIR) --output-on-failure -j $(JOBS)

deps:
	@scripts/install-deps

release: deps
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(RELEASE_DIR) -j $(JOBS)

fuzz-build: deps
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DVANTORIX_BUILD_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS)

# A longer fuzzing session: make fuzz FUZZ_SECONDS=3600
fuzz: fuzz-build
	fuzz/run-fuzzer $(FUZZ_DIR)/fuzz/bmp_fuzzer $(FUZZ_SECONDS)

bench: deps
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DVANTORIX_BUILD_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	$(BENCH_DIR)/bench/tick_bench
	$(BENCH_DIR)/bench/frame_bench

# Redraw the eight pictures in textures/ from the generator's code.
textures: release
	$(RELEASE_DIR)/tools/make-textures textures

# make snapshot VIEW=2 TICKS=120 LIVES=3 OVER=0 OUT=snapshot.png
snapshot: release
	$(RELEASE_DIR)/tools/snapshot --view $(or $(VIEW),1) --ticks $(or $(TICKS),60) \
	    --lives $(or $(LIVES),3) $(if $(filter 1,$(OVER)),--game-over) --out $(or $(OUT),snapshot.png)

install: release
	cmake --install $(RELEASE_DIR) $(if $(PREFIX),--prefix $(PREFIX))

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

lint: release
	cppcheck --quiet --error-exitcode=1 --enable=warning,style,performance --inline-suppr \
	    --suppress=missingIncludeSystem --std=c++17 -I src src tools bench
	git ls-files 'src/*.cpp' | xargs clang-tidy -p $(RELEASE_DIR) --quiet

clean:
	rm -rf build
