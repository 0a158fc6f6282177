# Tumbix: make run | make test | make deps | make build
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps deps-test build run test test-unit test-e2e test-asan fuzz soak clean install package screenshots

all: build

# What building and playing need; deps-test adds what the tests use.
deps:
	@./tools/install-deps.sh

deps-test:
	@./tools/install-deps.sh --test

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	@./tools/run-game.sh $(BUILD)/tumbix

# Every test of the build (unit, e2e, a 60 s soak), then the sanitizer build's
# tests and a few seconds of each fuzz target.
TEST_FUZZ_SECONDS ?= 5
test: deps-test build
	@cd $(BUILD) && ctest --output-on-failure -j1
	@$(MAKE) --no-print-directory test-asan
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(TEST_FUZZ_SECONDS)

test-unit: deps-test build
	@cd $(BUILD) && ctest --output-on-failure -L unit -j$(JOBS)

test-e2e: deps-test build
	@cd $(BUILD) && ctest --output-on-failure -L e2e

# The real program under random input for SOAK_SECONDS (600 before a release).
SOAK_SECONDS ?= 600
soak: deps-test build
	@TUMBIX_BINARY=$(CURDIR)/$(BUILD)/tumbix python3 tests/soak/soak.py --seconds $(SOAK_SECONDS)

# Everything built with AddressSanitizer and UBSan (optimised a little: the
# e2e play runs the real program); unit tests and a short end-to-end play.
ASAN_BUILD ?= build-asan
WERROR ?= OFF
test-asan: deps-test
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 -DTUMBIX_SANITIZE=ON \
	  -DTUMBIX_BENCH=OFF -DTUMBIX_WERROR=$(WERROR) >/dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -L "unit|asan-e2e"

# Every fuzz target from its corpus for FUZZ_SECONDS each (needs clang).
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = $(patsubst fuzz/%.cpp,fuzz_%,$(wildcard fuzz/*.cpp))
fuzz: deps-test
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUMBIX_FUZZ=ON \
	  -DTUMBIX_TESTS=OFF -DTUMBIX_BENCH=OFF -DTUMBIX_WERROR=$(WERROR) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target $(FUZZ_TARGETS)
	@python3 tests/core/core_check.py links $$(find $(FUZZ_BUILD)/fuzz -maxdepth 1 -type f -perm -u+x)
	@./tools/run-fuzzers.sh $(FUZZ_BUILD)/fuzz $(FUZZ_SECONDS)

# Installation and the Debian package (see cmake/install.cmake):
#   make install [DESTDIR=/tmp/root] [PREFIX=/usr]
#   make package: build/tumbix_<version>-<revision>_<arch>.deb and build/tumbix-tools_..._<arch>.deb
PREFIX ?=
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

package: build
	@cd $(BUILD) && cpack -G DEB

# README screenshots and animation under docs/, from a scripted play.
screenshots: deps-test build
	@python3 tools/screenshots.py --binary $(BUILD)/tumbix

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) out
