# The two commands of the README: `make run` and `make test`.
# Each installs missing Debian packages, configures, builds, then runs.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
ARGS ?=
JOBS ?= $(shell nproc)

# `make test-sanitize`: the whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer
# in its own folder. `make fuzz`: every fuzz target run for FUZZ_SECONDS on its seed corpus.
SANITIZE_DIR ?= build-sanitize
FUZZ_DIR ?= build-fuzz
COVERAGE_DIR ?= build-coverage
FUZZ_SECONDS ?= 60
# use_tls=0: the leak checker of GCC 12 crashes reading the thread-local blocks of libraries
# GStreamer opens at run time; without them it only reports more, never less.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan-third-party.supp:print_suppressions=0:use_tls=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: run test build configure deps bench package clean test-sanitize fuzz fuzz-build coverage

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

test-sanitize: deps
	@if [ ! -f $(SANITIZE_DIR)/build.ninja ]; then \
	  cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCORVELLA_SANITIZE=ON; \
	fi
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && $(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# `make coverage`: the suite built without optimisation and with coverage recording in its own
# folder, run, then gcovr's line, branch and function figures for the program's folders (each
# file's in build-coverage/coverage.txt) and the size of the tests against the program. Not part
# of CI's run.
COVERAGE_FILTERS = $(foreach d,platform core playback skin shell res tools,--filter '$(CURDIR)/$(d)/')
coverage: deps
	@if [ ! -f $(COVERAGE_DIR)/build.ninja ]; then \
	  cmake -S . -B $(COVERAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVELLA_COVERAGE=ON; \
	fi
	cmake --build $(COVERAGE_DIR) -j $(JOBS)
	find $(COVERAGE_DIR) -name '*.gcda' -delete
	# The generators of tools/ ran during the build, before the counts were cleared; they run
	# again into a scratch folder so that their lines count like the tests' (their output is
	# what the skin and shell tests check).
	scratch=$$(mktemp -d); QT_QPA_PLATFORM=offscreen $(COVERAGE_DIR)/corvella-icongen "$$scratch/icons" && \
	  $(COVERAGE_DIR)/corvella-skingen "$$scratch/gen" "$$scratch/skin" && \
	  $(COVERAGE_DIR)/corvella-update-animation "$$scratch/animation.cpp"; \
	  status=$$?; rm -rf "$$scratch"; exit $$status
	-cd $(COVERAGE_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	gcovr --root $(CURDIR) $(COVERAGE_FILTERS) --exclude-unreachable-branches \
	  --exclude-throw-branches -j $(JOBS) --print-summary \
	  --txt $(COVERAGE_DIR)/coverage.txt $(COVERAGE_DIR)
	scripts/test-ratio

fuzz-build: deps
	@if [ ! -f $(FUZZ_DIR)/build.ninja ]; then \
	  cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	    -DCMAKE_CXX_COMPILER=clang++ -DCORVELLA_FUZZ=ON; \
	fi
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzzers

fuzz: fuzz-build
	$(SANITIZER_ENV) fuzz/run-all $(FUZZ_DIR) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR) $(COVERAGE_DIR)
