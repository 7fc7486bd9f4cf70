# Quick start: `make run` starts the player, `make test` runs every test. Both install what is
# missing first (Debian 12), then configure and build with CMake and Ninja.
BUILD ?= build
JOBS ?= 2
# Warnings are errors in CI.
WERROR ?= $(if $(CI),ON,OFF)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test test-asan test-tsan fuzz soak bench install clean

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

# The whole suite built with sanitizers, each in a build folder of its own; any report fails.
test-asan: deps
	@scripts/test-sanitized.sh address,undefined build-asan

test-tsan: deps
	@scripts/test-sanitized.sh thread build-tsan

# Each fuzz target for FUZZ_SECONDS (default 60) with clang's libFuzzer.
FUZZ_SECONDS ?= 60
fuzz: deps
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz.sh

# 30 minutes of playback and recording against icecast2 (not part of `make test`).
soak: build
	@scripts/soak.sh $(BUILD)

# Every benchmark of the project, printed as one table.
bench: build
	@scripts/install-deps.sh --bench
	@scripts/bench.sh $(BUILD)

# Installs under PREFIX (default: CMake's, /usr/local).
install: build
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

clean:
	rm -rf $(BUILD)
