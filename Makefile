# Short commands around CMake. Each configuration has its own build folder.
JOBS ?= $(shell nproc)
DEPS := scripts/install-deps.sh

.PHONY: all deps build play test web serve-web bench bench-web fuzz soak references package format clean

all: build

deps:
	@bash $(DEPS)

build: deps
	@cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKARNOLT_TESTS=OFF
	@cmake --build build -j $(JOBS)

play: build
	./build/karnolt

# The browser's page (build-web/site/, for any static web server) and the replay tool
# on WebAssembly (build-web/karnolt-replay.js, for Node.js). Debian's emcc needs
# Node.js to look in Debian's module folder.
export NODE_PATH := /usr/share/nodejs
web: deps
	@bash $(DEPS) web
	@emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DKARNOLT_TESTS=OFF -DKARNOLT_BENCH=OFF >/dev/null
	@cmake --build build-web -j $(JOBS)

# The page at http://127.0.0.1:8000/, on this machine only; any static web server will do.
serve-web: web
	python3 -m http.server -d build-web/site 8000 --bind 127.0.0.1

# The sanitizer build that make test and make references share.
CONFIGURE_ASAN = cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Release -DKARNOLT_SANITIZE=ON \
	-DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DKARNOLT_WEB_BUILD=$(CURDIR)/build-web

# Optimised as a packager's Release build, so warnings that only optimisation
# brings up are errors here too.
test: deps web
	@bash $(DEPS) x11 package
	@$(CONFIGURE_ASAN)
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && ctest --output-on-failure --no-tests=error -j $(JOBS)

bench: deps
	@bash $(DEPS) bench
	@cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKARNOLT_BENCH=ON -DKARNOLT_TESTS=OFF
	@cmake --build build-release -j $(JOBS)
	@for b in build-release/bench/bench_*; do echo "== $$b"; $$b || exit 1; done

# The frame benchmarks native (build-release) and as WebAssembly under Node.js (build-web),
# side by side, BENCH_ROUNDS rounds each (bench/web_vs_native.sh).
BENCH_ROUNDS ?= 5
bench-web: deps
	@bash $(DEPS) bench web
	@cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKARNOLT_BENCH=ON -DKARNOLT_TESTS=OFF
	@cmake --build build-release -j $(JOBS) --target bench_frames
	@emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DKARNOLT_TESTS=OFF -DKARNOLT_BENCH=ON >/dev/null
	@cmake --build build-web -j $(JOBS) --target bench_frames
	@bash bench/web_vs_native.sh $(BENCH_ROUNDS)

# The level decoder's and the script parser's fuzzers, built with clang in their own folder,
# one after the other for FUZZ_SECONDS each. The parser's seeds are every replay script in the
# repository; its inputs may pass the 4096-byte line limit.
FUZZ_SECONDS ?= 60
fuzz: deps
	@bash $(DEPS) fuzz
	@cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
	@cmake --build build-fuzz -j $(JOBS)
	@rm -rf build-fuzz/script-seeds
	@mkdir -p build-fuzz/corpus build-fuzz/script-corpus build-fuzz/script-seeds
	@git ls-files -z '*.replay' | xargs -0 cp -t build-fuzz/script-seeds
	./build-fuzz/bitmap_decode_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -print_final_stats=1 \
		build-fuzz/corpus fuzz/corpus
	./build-fuzz/script_parse_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=8192 -print_final_stats=1 \
		build-fuzz/script-corpus build-fuzz/script-seeds

# A million frames of seeded random play and ten million frames of a falling joint on the
# headless back end, with AddressSanitizer and UBSan; SOAK_SEED repeats a run.
SOAK_FRAMES ?= 1000000
SOAK_SEED ?= 1
FALL_FRAMES ?= 10000000
soak: deps
	@cmake -S . -B build-soak -G Ninja -DCMAKE_BUILD_TYPE=Release -DKARNOLT_SANITIZE=ON
	@cmake --build build-soak -j $(JOBS) --target karnolt_tests_game
	KARNOLT_PLAY_FRAMES=$(SOAK_FRAMES) KARNOLT_PLAY_SEED=$(SOAK_SEED) KARNOLT_FALL_FRAMES=$(FALL_FRAMES) \
		./build-soak/tests/karnolt_tests_game --gtest_filter='RandomPlayTest.*'

# The reference frames and states written anew by the sanitizer build's replay tool, which
# the reference test runs (see README, Layout).
references: deps
	@$(CONFIGURE_ASAN)
	@cmake --build build-asan -j $(JOBS) --target karnolt-replay
	@bash scripts/rewrite-references.sh build-asan

# MAINTAINER='Name <address>' names the package's maintainer (see README, Packaging).
MAINTAINER ?=
package: deps
	@bash $(DEPS) package
	@JOBS=$(JOBS) bash scripts/build-package.sh build-package "$(MAINTAINER)"

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-release build-fuzz build-soak build-package build-web
