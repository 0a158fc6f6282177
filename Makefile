# Tumbix: make run | make test | make deps | make build
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps build run test test-unit test-e2e test-asan fuzz clean

all: build

deps:
	@./tools/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	@./tools/run-game.sh $(BUILD)/tumbix

test: build
	@cd $(BUILD) && ctest --output-on-failure -j1

test-unit: build
	@cd $(BUILD) && ctest --output-on-failure -L unit -j$(JOBS)

test-e2e: build
	@cd $(BUILD) && ctest --output-on-failure -L e2e

# Everything built with AddressSanitizer and UBSan; unit tests and a short
# end-to-end play.
ASAN_BUILD ?= build-asan
test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTUMBIX_SANITIZE=ON -DTUMBIX_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -L "unit|asan-e2e"

# Every fuzz target from its corpus for FUZZ_SECONDS each (needs clang).
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUMBIX_FUZZ=ON \
	  -DTUMBIX_TESTS=OFF -DTUMBIX_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS)
	@./tools/run-fuzzers.sh $(FUZZ_BUILD)/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) out
