# Quick start: `make run` starts the player, `make test` runs every test. Both install what is
# missing first (Debian 12), then configure and build with CMake and Ninja.
BUILD ?= build
JOBS ?= 2
# Warnings are errors in CI.
WERROR ?= $(if $(CI),ON,OFF)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test test-tsan clean

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

# The engine's tests (threads, network, playback) built with ThreadSanitizer; any report fails.
TSAN_BUILD ?= build-tsan
test-tsan: deps
	@cmake -S . -B $(TSAN_BUILD) -G Ninja -DORVEL_SANITIZE=thread -DORVEL_BUILD_GUI=OFF \
		-DORVEL_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(TSAN_BUILD) -j$(JOBS) --target engine_tests orvel-play orvel-decode
	cd $(TSAN_BUILD) && ORVEL_RADIO_AUDIO=null no_proxy=127.0.0.1,localhost \
		TSAN_OPTIONS="halt_on_error=1 exitcode=66" bin/engine_tests

clean:
	rm -rf $(BUILD)
