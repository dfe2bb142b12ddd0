# SPDX-License-Identifier: Apache-2.0
# Velkarin — the two commands of the README, and a few more.
#   make run    installs what is missing, builds, starts the desktop program
#   make test   installs what is missing, builds, runs every test
PRESET ?= dev
BUILD_DIR = build/$(PRESET)

.PHONY: all deps build run run-batch test test-long test-asan bench bench-curve bench-batch bench-plan fuzz screenshot format format-check clean package install

all: build

deps:
	@bash scripts/install-deps.sh

# WERROR=ON turns compiler warnings into errors (CI builds so).
WERROR ?= OFF

build: deps
	cmake --preset $(PRESET) -DVELKARIN_WERROR=$(WERROR)
	cmake --build --preset $(PRESET)

run: build
	$(BUILD_DIR)/app/velkarin

# The batch tool on the example heats. The example shift has one faulting row
# on purpose, so exit status 1 is expected.
run-batch: build
	$(BUILD_DIR)/app/velkarin-batch examples/heats.csv || [ $$? -eq 1 ]

test: build
	ctest --preset $(PRESET)

# Also the opt-in long checks (the trial sequence against 5·10^9 real additions, …).
test-long: build
	VELKARIN_LONG_TESTS=1 ctest --preset $(PRESET) --timeout 3600

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan:
	$(MAKE) test PRESET=asan WERROR=$(WERROR)

bench:
	$(MAKE) build PRESET=release
	build/release/bench/velkarin-bench

# Runs each libFuzzer target for a bounded time (FUZZ_SECONDS each). New
# inputs go to build/fuzz/corpus/<target> (fuzz/seeds is read as well); an
# input that crashes, or runs longer than 10 s (a calculation must take well
# under a millisecond), is kept in build/fuzz/artifacts/<target>/. Such an
# input is then copied to fuzz/regressions/<target>/, where the test presets'
# ctest (fuzz.<target>) runs the target's checks over it, without libFuzzer,
# as over fuzz/seeds.
FUZZ_SECONDS ?= 60
fuzz:
	$(MAKE) build PRESET=fuzz
	@for target in build/fuzz/fuzz/fuzz_*; do \
	  name=$$(basename $$target); \
	  echo "== $$name ($(FUZZ_SECONDS) s)"; \
	  mkdir -p build/fuzz/corpus/$$name build/fuzz/artifacts/$$name; \
	  $$target -max_total_time=$(FUZZ_SECONDS) -timeout=10 -print_final_stats=1 \
	    -artifact_prefix=build/fuzz/artifacts/$$name/ build/fuzz/corpus/$$name fuzz/seeds || exit 1; \
	done

# Computes both worked examples in the real windows on a virtual screen and
# saves pictures of them to build/screenshots/.
screenshot: build
	mkdir -p build/screenshots
	xvfb-run -a -s "-screen 0 1366x768x24" $(BUILD_DIR)/app/velkarin-screenshot build/screenshots
	QT_SCALE_FACTOR=1.5 xvfb-run -a -s "-screen 0 1366x768x24" $(BUILD_DIR)/app/velkarin-screenshot build/screenshots \
	  --diagram-only diagram-1366x768-scale1.5.png
	QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 1920x1080x24" $(BUILD_DIR)/app/velkarin-screenshot build/screenshots \
	  --diagram-only diagram-1920x1080-scale2.png
	$(BUILD_DIR)/app/velkarin --report examples/shift.velkarin -o build/screenshots/report.pdf
	pdftoppm -png -r 80 -singlefile build/screenshots/report.pdf build/screenshots/report-page

format:
	clang-format -i $$(git ls-files '*.h' '*.cpp')

# Fails when a source file is not formatted as .clang-format says.
format-check:
	clang-format --dry-run --Werror $$(git ls-files '*.h' '*.cpp')

clean:
	rm -rf build

# The equilibrium-curve benchmark alone (Release build).
.PHONY: bench-curve
bench-curve:
	$(MAKE) build PRESET=release
	build/release/bench/velkarin-curve-bench

# A six-stage blow simulated in time (Release build).
.PHONY: bench-simulation bench-calibration
bench-simulation:
	$(MAKE) build PRESET=release
	build/release/bench/velkarin-simulation-bench

# The simulation's k and L fitted to 1,000 heats, and reading their log (Release build).
.PHONY: bench-calibration
bench-calibration:
	$(MAKE) build PRESET=release
	build/release/bench/velkarin-calibration-bench

# The equilibrium diagram window redrawing its whole family (Release build, offscreen).
.PHONY: bench-diagram
bench-diagram:
	$(MAKE) build PRESET=release
	build/release/bench/velkarin-diagram-bench

# The batch tool on 1,000,000 generated heats (Release build): rows/s and peak memory.
.PHONY: bench-batch
bench-batch:
	$(MAKE) build PRESET=release
	build/release/bench/velkarin-batch-bench

# Reading 64 MiB plan files (Release build): seconds and peak memory.
.PHONY: bench-plan
bench-plan:
	$(MAKE) build PRESET=release
	build/release/bench/velkarin-plan-bench

# A Debian package of all three programs (Release build): build/release/velkarin_<version>_<arch>.deb.
.PHONY: package
package:
	$(MAKE) build PRESET=release
	cd build/release && cpack -G DEB
	@ls build/release/*.deb

# Installs the Release build under PREFIX (default /usr/local).
PREFIX ?= /usr/local
.PHONY: install
install:
	$(MAKE) build PRESET=release
	cmake --install build/release --prefix $(PREFIX)
