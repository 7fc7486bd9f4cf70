#!/usr/bin/env bash
# Builds the whole suite with the given sanitizers in its own build folder and runs it.
# Usage: scripts/test-sanitized.sh SANITIZERS BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
sanitizers=$1
build=$2
cmake -S . -B "$build" -G Ninja -DORVEL_SANITIZE="$sanitizers" -DORVEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"${JOBS:-2}"
cd "$build"
QT_QPA_PLATFORM=offscreen ORVEL_RADIO_AUDIO=null no_proxy=127.0.0.1,localhost \
  TSAN_OPTIONS="halt_on_error=1 exitcode=66" \
  ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="halt_on_error=1 print_stacktrace=1" \
  ctest --output-on-failure -j"${JOBS:-2}" --timeout 600
