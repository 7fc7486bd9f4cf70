#!/bin/sh
# Runs every benchmark of the project and prints one table; keeps it in bench/RESULTS.md with
# the date and the machine:
#   decoding speed (MP3 and Ogg) against mpg123, ffmpeg and oggdec    bench/decode
#   CPU and peak RSS of 60 s of streaming against mpg123 and mpv,
#   time from open to the first audio buffer, steady-state CPU per second of audio
#   ((33 s run - 3 s run) / 30) against mpg123 on a loopback server
#   writing small pieces and on icecast2                               bench/play
#   the Google Benchmark programs (resampler, byte queue, metadata removal, library files)
#   the GUI's start to its first painted frame (ORVEL_RADIO_TRACE_START=1; n/a without it)
# Usage: bench.sh BUILD_DIR   (BENCH_SECONDS=60 streaming time, BENCH_ROUNDS=5 decode rounds)
set -eu
build=$(cd "${1:?usage: bench.sh BUILD_DIR}" && pwd)
seconds=${BENCH_SECONDS:-60}
rounds=${BENCH_ROUNDS:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$build/bin
work=$(mktemp -d /tmp/orvel-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT INT TERM
rows=$work/rows
: > "$rows"
# Notes on measured changes, kept from one run to the next.
notes=$work/notes
sed -n '/^## Measured changes/,$p' "$root/bench/RESULTS.md" > "$notes" 2>/dev/null || :

echo "bench: decoding ($rounds rounds of 5 minutes of audio)" >&2
BENCH_ROWS=$rows "$root/bench/decode/run_decode_bench.sh" "$build" "$rounds" >&2

echo "bench: streaming ($seconds s per player) and time to first audio" >&2
python3 "$root/bench/play/bench_play.py" --seconds "$seconds" --bin "$bin" --rows "$rows" >&2
echo "bench: HLS (MPEG-TS segments) against the same audio over plain HTTP" >&2
python3 "$root/bench/play/bench_hls.py" --seconds 60 --bin "$bin" --rows "$rows" >&2

# Each Google Benchmark program: one row per benchmark, its processor time per iteration and
# any rate it reports.
for program in decode_bench engine_bench library_bench; do
  if [ ! -x "$bin/$program" ]; then
    printf '%s\t%s\t%s\t%s\n' "$program" "not built" "" "" >> "$rows"
    continue
  fi
  echo "bench: $program" >&2
  "$bin/$program" --benchmark_format=json --benchmark_out="$work/$program.json" \
    --benchmark_out_format=json >/dev/null
  python3 - "$work/$program.json" >> "$rows" <<'EOF'
import json, sys
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    extra = []
    if "bytes_per_second" in b:
        extra.append("%.0f MiB/s" % (b["bytes_per_second"] / 2**20))
    if "x_realtime" in b:
        extra.append("%.0f x real time" % b["x_realtime"])
    print("%s\t%.3g %s CPU%s\t\t" % (b["name"], b["cpu_time"], b["time_unit"],
                                     ", " + ", ".join(extra) if extra else ""))
EOF
done

# The GUI prints "first-paint MS" once on stderr when asked to.
paint=n/a
if [ -x "$bin/orvel-radio" ]; then
  echo "bench: GUI start-up" >&2
  mkdir -p "$work/home"
  for _ in 1 2 3; do
    HOME=$work/home XDG_CONFIG_HOME=$work/home/.config QT_QPA_PLATFORM=offscreen \
      ORVEL_RADIO_AUDIO=null ORVEL_RADIO_TRACE_START=1 \
      timeout 15 "$bin/orvel-radio" 2> "$work/gui.err" >/dev/null &
    gui=$!
    waited=0
    while [ "$waited" -lt 150 ] && ! grep -q '^first-paint ' "$work/gui.err"; do
      sleep 0.1
      waited=$((waited + 1))
    done
    kill "$gui" 2>/dev/null || true
    wait "$gui" 2>/dev/null || true
    grep '^first-paint ' "$work/gui.err" | head -1 | awk '{ print $2 }' >> "$work/paint"
  done
  if [ -s "$work/paint" ]; then paint=$(sort -n "$work/paint" | sed -n 2p); fi
  [ -n "$paint" ] || paint=$(sort -n "$work/paint" | head -1)
fi
printf '%s\t%s\t%s\t%s\n' "GUI start to first painted frame, ms" "$paint" "" "" >> "$rows"

table=$work/table
{
  printf '| Measure | Orvel | Reference | Ratio |\n|---|---|---|---|\n'
  awk -F '\t' '{ printf "| %s | %s | %s | %s |\n", $1, $2, $3, $4 }' "$rows"
} > "$table"
cat "$table"
cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')
{
  echo "# Benchmark results"
  echo
  echo "Last run of \`make bench\` (scripts/bench.sh): $(date -u '+%Y-%m-%d %H:%M UTC')."
  echo "Machine: ${cpu:-unknown CPU}, $(nproc) cores, $(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo) RAM, $(uname -sr)."
  echo "Decoding: processor seconds (user + system), median of $rounds rounds. Streaming: median of 3 runs (mpv: one) of a"
  echo "loopback server sending 128 kbit/s with a 64 KiB first burst, null audio device. First"
  echo "audio buffer, median of 21 runs each, the two in turn: Orvel from the Open command to the first buffer handed to the"
  echo "device (ORVEL_RADIO_TRACE_PLAY; the player was started and its codecs loaded before), mpg123 from process"
  echo "start to its first 4608 bytes of PCM. Steady streaming: (CPU of a 33 s run - CPU of a 3 s run) / 30,"
  echo "orvel-play (null device) against \`mpg123 -o dummy\`, the four runs of a round started together,"
  echo "median of 5 rounds; the loopback server writes one 418-byte MP3 frame at a time at 128 kbit/s."
  echo "The machine is shared: CPU-time figures vary by some percent from run to run."
  echo
  cat "$table"
  if [ -s "$notes" ]; then
    echo
    cat "$notes"
  fi
} > "$root/bench/RESULTS.md"
echo "bench: table kept in bench/RESULTS.md" >&2
