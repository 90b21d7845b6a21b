# Two commands on a fresh Debian 12 machine:
#   make run    install what is missing, build, and run the program on the sample archive
#   make test   install what is missing, build, and run every test

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test test-asan fuzz bench clean

all: build

deps:
	@scripts/install-deps

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j$(JOBS)

# The desktop program needs a display; without one, say how to run it anyway.
run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: no display to open the window on; run 'xvfb-run -a $(BUILD_DIR)/app/orvanel $(BUILD_DIR)/demo.dat', or use '$(BUILD_DIR)/tools/orvanel-cli list $(BUILD_DIR)/demo.dat --files'" >&2; \
	  exit 1; \
	fi
	$(BUILD_DIR)/app/orvanel $(BUILD_DIR)/demo.dat

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j$(JOBS)

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
ASAN_DIR ?= build-asan
test-asan: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVANEL_SANITIZE=ON -DORVANEL_BENCH=OFF
	cmake --build $(ASAN_DIR) -j$(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir $(ASAN_DIR) --output-on-failure -j$(JOBS)

# Every fuzz target for FUZZ_SECONDS each (FUZZ_JOBS at a time), from seeds made by the
# archive builder.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_JOBS ?= 1
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DORVANEL_FUZZ=ON -DORVANEL_GUI=OFF -DORVANEL_TESTS=OFF -DORVANEL_BENCH=OFF
	cmake --build $(FUZZ_DIR) -j$(JOBS)
	FUZZ_JOBS=$(FUZZ_JOBS) scripts/run-fuzz $(FUZZ_DIR) $(FUZZ_SECONDS)

bench: build
	@for b in $(BUILD_DIR)/bench/orvanel-bench-*; do echo "== $$b"; $$b || exit 1; done

clean:
	rm -rf $(BUILD_DIR)
