# The two commands of the README, plus the pieces they are made of.
JOBS ?= $(shell nproc)
CTEST = ctest --output-on-failure -j $(JOBS)

.PHONY: demo test setup bench fuzz test-asan test-tsan explore-asan clean

demo: setup
	cmake --preset dev >/dev/null
	cmake --build build/dev --target vistarail-sim -j $(JOBS)
	./build/dev/src/main/vistarail-sim run scenarios/morning.json --out out/demo
	@echo "open out/demo/report.html to see the run"

test: setup
	cmake --preset dev >/dev/null
	cmake --build build/dev -j $(JOBS)
	$(CTEST) --test-dir build/dev

setup:
	@bash scripts/setup.sh

test-asan: setup
	cmake --preset asan >/dev/null
	cmake --build build/asan -j $(JOBS)
	$(CTEST) --test-dir build/asan -LE '^(macos|x11)$$'  # the macOS checks do not depend on the build flags; the real-window stories run in the dev build

# Seeded random stories with faults, checked after every step, under
# AddressSanitizer + UndefinedBehaviorSanitizer. A failure prints its seed and
# step and writes a shrunk scenario to out/explore that `run` replays. The
# range is split over the cores (scripts/explore.sh).
EXPLORE_SEEDS ?= 1000
EXPLORE_STEPS ?= 200
EXPLORE_FIRST ?= 1
# A slice of long stories beside the short ones: faults that need many steps
# to line up (a window parked, paused, resumed and resized over minutes).
EXPLORE_LONG_SEEDS ?= 20
EXPLORE_LONG_STEPS ?= 2000
EXPLORE_LONG_FIRST ?= 1000001
# Invariants to silence (none: every fault the explorer has found is fixed,
# each with a scenario in scenarios/); `make explore-asan EXPLORE_IGNORE=...`
# lets a wide run past a known fault to find the others.
EXPLORE_IGNORE ?=
explore-asan: setup
	cmake --preset asan >/dev/null
	cmake --build build/asan --target vistarail-sim -j $(JOBS)
	bash scripts/explore.sh ./build/asan/src/main/vistarail-sim $(JOBS) $(EXPLORE_FIRST) $(EXPLORE_SEEDS) \
	  --steps $(EXPLORE_STEPS) $(foreach i,$(EXPLORE_IGNORE),--ignore $(i)) --out out/explore
	bash scripts/explore.sh ./build/asan/src/main/vistarail-sim $(JOBS) $(EXPLORE_LONG_FIRST) $(EXPLORE_LONG_SEEDS) \
	  --steps $(EXPLORE_LONG_STEPS) $(foreach i,$(EXPLORE_IGNORE),--ignore $(i)) --out out/explore-long

# Tests whose suite name contains "Threaded" (real threads) under ThreadSanitizer.
# Only the test programs that hold such suites are built.
TSAN_TARGETS = platform_sim_tests platform_macos_tests mover_tests input_tests windows_tests
test-tsan: setup
	cmake --preset tsan >/dev/null
	cmake --build build/tsan --target $(TSAN_TARGETS) -j $(JOBS)
	$(CTEST) --test-dir build/tsan -R 'Threaded'

bench: setup
	cmake --preset release >/dev/null
	cmake --build build/release -j $(JOBS)
	bash scripts/bench.sh build/release

fuzz: setup
	cmake --preset fuzz >/dev/null
	cmake --build build/fuzz --target fuzzers -j $(JOBS)
	bash scripts/fuzz.sh build/fuzz $(or $(FUZZ_SECONDS),60)

clean:
	rm -rf build out
