#!/usr/bin/env bash
# Builds the whole suite with the given sanitizers in its own build folder and runs it; any report
# fails the test that made it. Reports that lie inside system libraries are suppressed one by one
# in tests/sanitizer-suppressions/ (never a whole sanitizer). Prints the wall time at the end.
# Usage: scripts/test-sanitized.sh SANITIZERS BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
sanitizers=$1
build=$2
supp="$root/tests/sanitizer-suppressions"
tsan_supp=""
[[ -f "$supp/tsan.supp" ]] && tsan_supp="suppressions=$supp/tsan.supp"
start=$(date +%s)
cmake -S . -B "$build" -G Ninja -DORVEL_SANITIZE="$sanitizers" -DORVEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"${JOBS:-2}"
built=$(date +%s)
cd "$build"
status=0
# Tests start the program with QProcess, whose child runs a little before its exec: TSan must not
# end that child for being forked from a threaded process.
QT_QPA_PLATFORM=offscreen ORVEL_RADIO_AUDIO=null no_proxy=127.0.0.1,localhost \
  TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 die_after_fork=0 $tsan_supp" \
  ASAN_OPTIONS="detect_leaks=1 halt_on_error=1" LSAN_OPTIONS="suppressions=$supp/lsan.supp" \
  UBSAN_OPTIONS="halt_on_error=1 print_stacktrace=1" \
  ctest --output-on-failure -j"${JOBS:-2}" --timeout 600 || status=$?
end=$(date +%s)
echo "$sanitizers: build $((built - start)) s, tests $((end - built)) s, total $((end - start)) s"
exit $status
