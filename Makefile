# Everything a fresh Debian 12 machine needs: `make run` and `make test` install
# the missing packages, configure and build before they do their work.
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
DEB_BUILD ?= build-deb
PREFIX ?= /usr/local
FUZZ_BUILD ?= build-fuzz
CMAKE_FLAGS ?=

.PHONY: all deps configure build install deb test test-unit test-asan run bench fuzz format clean

all: build

deps:
	@bash scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=$(PREFIX) \
	  $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The programs, the help book, the desktop files and the manual pages under
# PREFIX (staged under DESTDIR when it is set).
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package at the top of the checkout, checked by lintian.
deb: deps
	@JOBS=$(JOBS) bash scripts/build-deb $(DEB_BUILD)

# Unit, GUI and end-to-end tests on a virtual display, then the unit tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer.
test: build
	@bash scripts/run-tests $(BUILD)
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUILLON3_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD) -L unit -j $(JOBS) --output-on-failure

run: build
	@bash scripts/run-reader $(BUILD)

# The core's benchmarks, then the start-up benchmark: the reader against a bare
# WebKitGTK view on a virtual display (BENCH_RUNS runs each, medians).
bench: deps
	@cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DQUILLON3_BENCH=ON -DQUILLON3_TESTS=OFF >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS)
	@bash scripts/run-bench $(BENCH_BUILD)

# Each target runs FUZZ_SECONDS (60 by default) on its own corpus folder.
fuzz: deps
	@CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON3_FUZZ=ON -DQUILLON3_GUI=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_document fuzz_contents fuzz_settings
	@mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/corpus-contents $(FUZZ_BUILD)/corpus-settings
	@$(FUZZ_BUILD)/fuzz/fuzz_document -max_total_time=$${FUZZ_SECONDS:-60} $(FUZZ_BUILD)/corpus
	@$(FUZZ_BUILD)/fuzz/fuzz_contents -max_total_time=$${FUZZ_SECONDS:-60} $(FUZZ_BUILD)/corpus-contents
	@$(FUZZ_BUILD)/fuzz/fuzz_settings -max_total_time=$${FUZZ_SECONDS:-60} $(FUZZ_BUILD)/corpus-settings

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(DEB_BUILD)
