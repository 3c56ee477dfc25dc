# The two commands: `make run` and `make test`. Both install what is missing,
# configure and build first, and start a virtual display when there is none.
BUILD_DIR ?= build
CMAKE_FLAGS ?=

.PHONY: all setup configure build run test demo bench format clean

all: build

setup:
	tools/install-deps

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

configure: setup $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR)

run: build
	tools/with-display $(BUILD_DIR)/tavik-search

# Then the unit and display tests again, built with AddressSanitizer and
# UndefinedBehaviorSanitizer in a build folder of their own.
test: build
	tools/with-display ctest --test-dir $(BUILD_DIR) --output-on-failure
	test -f $(BUILD_DIR)-sanitize/build.ninja || cmake -S . -B $(BUILD_DIR)-sanitize -G Ninja \
	  -DCMAKE_BUILD_TYPE=Debug -DTAVIK_SANITIZE=ON -DTAVIK_IN_PROCESS_TESTS_ONLY=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR)-sanitize --target unit_tests display_tests
	tools/with-display ctest --test-dir $(BUILD_DIR)-sanitize --output-on-failure

# The program against the sample search service, on this machine only.
demo: build
	tools/with-display tools/demo $(BUILD_DIR)

# Start-up, search and memory against two browsers; writes bench/results.md.
bench: build
	BUILD_DIR=$(BUILD_DIR) bench/run

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
