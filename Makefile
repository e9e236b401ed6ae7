# The two everyday commands: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

# `make run` installs and builds only the program; `make test` adds the test and benchmark packages
# and targets to the same build folder.
.PHONY: deps deps-test configure configure-test build build-test run test bench clean

deps:
	@scripts/install-deps.sh run

deps-test:
	@scripts/install-deps.sh test

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) -DQUORVANE_TESTS=OFF -DQUORVANE_BENCH=OFF >/dev/null

configure-test: deps-test
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) -DQUORVANE_TESTS=ON -DQUORVANE_BENCH=ON >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

build-test: configure-test
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/quorvane

test: build-test
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: configure-test
	@cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	$(BUILD)/bin/quorvane_bench

clean:
	rm -rf $(BUILD)

# The Debian package: a Release build of its own, the .deb, installed on this machine (it stays
# installed), then the installed program, desktop entry, metainfo and man page checked.
PACKAGE_BUILD ?= build-package

.PHONY: package-check

package-check:
	@scripts/check-package.sh $(PACKAGE_BUILD) $(JOBS)

# Reliability: the suite under AddressSanitizer and UndefinedBehaviorSanitizer (a Debug build: the
# quickest to compile, and Qt's own assertions stay on), the fuzz targets and the crash harness.
# `make fuzz FUZZ_SECONDS=60 FUZZ_TARGETS=fuzz_dialect` runs a chosen few.
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= fuzz-build
FUZZ_SECONDS ?= 600
FUZZ_TARGETS ?= fuzz_dialect fuzz_numberparser fuzz_moneyformat fuzz_currencysymbol fuzz_picklist fuzz_statements fuzz_csvreader fuzz_xlsxreader
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

.PHONY: test-asan fuzz fuzz-smoke fuzz-targets crash-harness

test-asan: deps-test
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON \
		-DQUORVANE_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

fuzz-targets:
	@scripts/install-deps.sh fuzz
	@cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DQUORVANE_FUZZ=ON -DQUORVANE_SANITIZE=ON -DQUORVANE_TESTS=OFF -DQUORVANE_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets

fuzz: fuzz-targets
	@$(SANITIZER_ENV) fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

fuzz-smoke: fuzz-targets
	@$(SANITIZER_ENV) fuzz/run.sh $(FUZZ_BUILD) 20 $(FUZZ_TARGETS)

crash-harness: configure-test
	@cmake --build $(BUILD) -j $(JOBS) --target quorvane_crash_harness
	$(BUILD)/bin/quorvane_crash_harness kill 200
	$(BUILD)/bin/quorvane_crash_harness contend 2 500
	$(BUILD)/bin/quorvane_crash_harness restore 100
	$(BUILD)/bin/quorvane_crash_harness repeat 100
	$(BUILD)/bin/quorvane_crash_harness repeat-twins 10
