# Velkarin — the two commands of the README, and a few more.
#   make run    installs what is missing, builds, starts the desktop program
#   make test   installs what is missing, builds, runs every test
PRESET ?= dev
BUILD_DIR = build/$(PRESET)

.PHONY: all deps build run run-batch test test-asan bench fuzz screenshot format clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

run: build
	$(BUILD_DIR)/app/velkarin

# The batch tool on the example heats.
run-batch: build
	$(BUILD_DIR)/app/velkarin-batch examples/heats.csv

test: build
	ctest --preset $(PRESET)

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan:
	$(MAKE) test PRESET=asan

bench:
	$(MAKE) build PRESET=release
	build/release/bench/velkarin-bench

# Runs each libFuzzer target for a bounded time (FUZZ_SECONDS each).
FUZZ_SECONDS ?= 60
fuzz:
	$(MAKE) build PRESET=fuzz
	@for target in build/fuzz/fuzz/fuzz_*; do \
	  echo "== $$target ($(FUZZ_SECONDS) s)"; \
	  mkdir -p build/fuzz/corpus/$$(basename $$target); \
	  $$target -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 build/fuzz/corpus/$$(basename $$target) fuzz/seeds || exit 1; \
	done

# Computes both worked examples in the real windows on a virtual screen and
# saves pictures of them to build/screenshots/.
screenshot: build
	mkdir -p build/screenshots
	xvfb-run -a -s "-screen 0 1366x768x24" $(BUILD_DIR)/app/velkarin-screenshot build/screenshots

format:
	clang-format -i $$(git ls-files '*.h' '*.cpp')

clean:
	rm -rf build
