# Tumbix: make run | make test | make deps | make build
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps build run test test-unit test-e2e clean

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

clean:
	rm -rf $(BUILD) out
