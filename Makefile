# Two commands on a fresh Debian 12 machine:
#   make run    install what is missing, build, and run the program on the sample archive
#   make test   install what is missing, build, and run every test

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@scripts/install-deps

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	$(BUILD_DIR)/tools/orvanel-cli list $(BUILD_DIR)/demo.dat --files

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j$(JOBS)

bench: build
	@for b in $(BUILD_DIR)/bench/orvanel-bench-*; do echo "== $$b"; $$b || exit 1; done

clean:
	rm -rf $(BUILD_DIR)
