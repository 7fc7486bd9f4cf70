# Quick start: `make run` starts the player, `make test` runs every test. Both install what is
# missing first (Debian 12), then configure and build with CMake and Ninja.
BUILD ?= build
JOBS ?= 2
# Warnings are errors in CI.
WERROR ?= $(if $(CI),ON,OFF)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DORVEL_WERROR=$(WERROR) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/bin/orvel-radio $(ARGS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) --timeout 300

clean:
	rm -rf $(BUILD)
