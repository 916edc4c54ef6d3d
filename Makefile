# The two commands of the README: `make run` and `make test`.
# Each installs missing Debian packages, configures, builds, then runs.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
ARGS ?=
JOBS ?= $(shell nproc)

.PHONY: run test build configure deps bench package clean

run: build
	$(BUILD_DIR)/corvella $(ARGS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	cmake --build $(BUILD_DIR) --target benchmarks
	bench/run-all $(BUILD_DIR)

# The Debian package of the program: build/corvella_<version>_<arch>.deb.
package: build
	cmake --build $(BUILD_DIR) --target package

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

configure: deps
	@if [ ! -f $(BUILD_DIR)/build.ninja ]; then \
	  cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE); \
	fi

deps:
	scripts/install-deps

clean:
	rm -rf $(BUILD_DIR)
