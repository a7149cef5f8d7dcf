# Front door: every target sets up the machine first, then builds incrementally.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
BENCH_BUILD ?= build-bench
GUI_BUILD  ?= build-gui
GUI_SECONDS ?= 60
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 20

CMAKE_GEN = cmake -G Ninja -Wno-dev

.PHONY: all setup build run test test-asan test-gui bench fuzz clean

all: build

setup:
	@bash scripts/setup-deps

$(BUILD)/build.ninja: | setup
	@$(CMAKE_GEN) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: setup $(BUILD)/build.ninja
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run-tool $(BUILD)/corvida

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/build.ninja: | setup
	@$(CMAKE_GEN) -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCORVIDA_SANITIZE=ON -DCORVIDA_QT=OFF >/dev/null

test-asan: setup $(ASAN_BUILD)/build.ninja
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j $(JOBS)

# The window itself under the sanitizers, driven by a fixed-seed random
# session on a virtual display.
$(GUI_BUILD)/build.ninja: | setup
	@$(CMAKE_GEN) -S . -B $(GUI_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVIDA_SANITIZE=ON -DCORVIDA_QT=ON >/dev/null

test-gui: setup $(GUI_BUILD)/build.ninja
	@cmake --build $(GUI_BUILD) -j $(JOBS) --target corvida
	@python3 scripts/gui-session $(GUI_BUILD)/corvida $(GUI_SECONDS)

$(BENCH_BUILD)/build.ninja: | setup
	@$(CMAKE_GEN) -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DCORVIDA_BENCH=ON -DCORVIDA_QT=OFF >/dev/null

bench: setup $(BENCH_BUILD)/build.ninja
	@cmake --build $(BENCH_BUILD) -j $(JOBS) --target corvida_bench
	@mkdir -p $(BUILD)
	@CORVIDA_BENCH_OUT=$(abspath $(BUILD))/bench-results.tsv $(BENCH_BUILD)/bench/corvida_bench
	@echo "figures written to $(BUILD)/bench-results.tsv"

$(FUZZ_BUILD)/build.ninja: | setup
	@CXX=clang++ $(CMAKE_GEN) -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVIDA_FUZZ=ON -DCORVIDA_QT=OFF >/dev/null

fuzz: setup $(FUZZ_BUILD)/build.ninja
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@bash scripts/run-fuzzers $(FUZZ_BUILD)/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(GUI_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)
