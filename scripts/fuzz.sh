#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and UBSan in build-fuzz, runs
# each for FUZZ_SECONDS (default 60) on a fresh copy of its seed corpus (tests/fuzz/seeds and
# tests/fuzz/regressions), prints one table and fails when any target found something.
# Crashing inputs are kept in build-fuzz/findings/<target>/.
# Usage: FUZZ_SECONDS=60 scripts/fuzz.sh [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${FUZZ_BUILD:-build-fuzz}
seconds=${FUZZ_SECONDS:-60}

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DORVEL_FUZZ=ON -DORVEL_BUILD_TESTS=OFF \
  -DORVEL_BUILD_BENCH=OFF -DORVEL_SANITIZE=fuzzer-no-link,address,undefined \
  -DCMAKE_CXX_FLAGS=-fno-sanitize-recover=undefined \
  -DCMAKE_C_FLAGS=-fno-sanitize-recover=undefined >/dev/null
cmake --build "$build" -j"${JOBS:-2}" --target fuzz_targets

if [[ $# -gt 0 ]]; then
  targets=("$@")
else
  targets=()
  for t in "$build"/fuzz/*Fuzzer; do targets+=("$(basename "$t")"); done
fi

rows=()
failed=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  rm -rf "$corpus" "$findings"
  mkdir -p "$corpus" "$findings"
  for seeds in tests/fuzz/seeds/"$target" tests/fuzz/regressions/"$target"; do
    [[ -d "$seeds" ]] && cp "$seeds"/* "$corpus"/
  done
  log="$build/findings/$target.log"
  start=$(date +%s.%N)
  status=0
  ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1" \
    "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=16384 -print_final_stats=1 -artifact_prefix="$root/$findings/" "$corpus" \
    >"$log" 2>&1 || status=$?
  end=$(date +%s.%N)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  count=$(find "$findings" -type f | wc -l)
  if [[ $status -ne 0 && $count -eq 0 ]]; then count=1; fi  # died without leaving an input
  [[ $count -eq 0 ]] || failed=1
  rows+=("$(printf '%-24s %12s %9.1f %9s' "$target" "${runs:-?}" "$(awk "BEGIN{print $end - $start}")" "$count")")
done

printf '%-24s %12s %9s %9s\n' target executions seconds findings
printf '%s\n' "${rows[@]}"
if [[ $failed -ne 0 ]]; then
  echo "Findings: see $build/findings/<target>.log and the inputs beside them." >&2
  exit 1
fi
