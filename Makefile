# Two commands on a fresh Debian 12 machine:
#   make run    install what is missing, build, and run the program on the sample archive
#   make test   install what is missing, build, and run every test

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test test-asan test-tsan fuzz bench package screenshot clean

all: build

deps:
	@scripts/install-deps

# Configures when there is no build yet or when BUILD_TYPE or CMAKE_FLAGS differ from the
# last configuration; starting from a fresh cache drops options that are no longer given.
# Runs only after deps, also under make -j.
CONFIG_LINE := $(BUILD_TYPE) $(CMAKE_FLAGS)
CONFIG_STAMP := $(BUILD_DIR)/.orvanel-config
configure: deps
	@if [ ! -f $(BUILD_DIR)/build.ninja ] || [ "$$(cat $(CONFIG_STAMP) 2>/dev/null)" != "$(CONFIG_LINE)" ]; then \
	  rm -f $(BUILD_DIR)/CMakeCache.txt; \
	  cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) \
	    && echo "$(CONFIG_LINE)" > $(CONFIG_STAMP); \
	fi

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

# The tests of the code that runs on more than one thread (the export, the thumbnail loader),
# under ThreadSanitizer; the desktop program's on the offscreen platform.
TSAN_DIR ?= build-tsan
test-tsan: deps
	cmake -S . -B $(TSAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANEL_TSAN=ON \
	  -DORVANEL_BENCH=OFF
	cmake --build $(TSAN_DIR) -j$(JOBS) --target orvanel_content_tests orvanel_app_tests
	TSAN_OPTIONS=halt_on_error=1 $(TSAN_DIR)/tests/content/orvanel_content_tests
	QT_QPA_PLATFORM=offscreen TSAN_OPTIONS="halt_on_error=1 suppressions=$(CURDIR)/tests/tsan-qt.supp" \
	  $(TSAN_DIR)/tests/app/orvanel_app_tests --gtest_filter='Gallery*:ThumbnailCache*'

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

# Every benchmark program; BENCH_ARGS are passed to each (CI gives a minimal time so that
# every benchmark runs once).
BENCH_ARGS ?=
bench: build
	@found=0; for b in $$(find $(BUILD_DIR)/bench -maxdepth 1 -type f -perm -u+x -name 'orvanel-bench-*' | sort); do \
	  found=1; echo "== $$b"; $$b $(BENCH_ARGS) || exit 1; \
	done; [ $$found = 1 ] || { echo "no benchmark programs in $(BUILD_DIR)/bench"; exit 1; }

# The Debian package orvanel_VERSION_ARCH.deb in the build folder; dpkg-shlibdeps finds the
# packages of the libraries the programs link.
package: build
	cmake --build $(BUILD_DIR) --target package

# docs/screenshot.png: the desktop program's main window on the sample archive, taken on a
# virtual X server.
screenshot: build
	BUILD_DIR=$(BUILD_DIR) scripts/screenshot

clean:
	rm -rf $(BUILD_DIR)
