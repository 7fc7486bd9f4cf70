#!/bin/sh
# Times orvel-decode against mpg123, ffmpeg and oggdec on the same 5-minute files, several
# rounds in one run, and prints the median processor times and ratios; then the resampler
# benchmark (Google Benchmark, when it was built).
# With BENCH_ROWS=FILE the results are appended to FILE as table rows (measure, Orvel, reference,
# ratio; tab-separated) for scripts/bench.sh, which runs the resampler benchmark itself.
# Usage: run_decode_bench.sh BUILD_DIR [ROUNDS]
set -eu
build=${1:?usage: run_decode_bench.sh BUILD_DIR [ROUNDS]}
rounds=${2:-5}
bin=$build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

ffmpeg -nostdin -hide_banner -loglevel error -f lavfi \
  -i "aevalsrc=0.3*sin(440*2*PI*t)*sin(0.5*t)+0.1*random(0)|0.3*sin(550*2*PI*t)+0.1*random(1):s=44100:d=300" \
  -c:a pcm_s16le "$work/src.wav"
lame --quiet -b 128 "$work/src.wav" "$work/song.mp3"
oggenc --quiet -q 4 -o "$work/song.ogg" "$work/src.wav"
ffmpeg -nostdin -loglevel error -i "$work/src.wav" -c:a aac -b:a 128k -f adts "$work/song.aac"
ffmpeg -nostdin -loglevel error -i "$work/src.wav" -c:a libopus -b:a 96k "$work/song.opus"
ffmpeg -nostdin -loglevel error -i "$work/src.wav" -c:a flac "$work/song.flac"
rm -f "$work/src.wav"
# The same player without the codec library beside it, for what the library costs MP3 play.
mkdir "$work/bare"
cp "$bin/orvel-decode" "$bin"/libOvGrpPrim*.so "$work/bare/"

# Processor seconds (user + system) of one run of a command, output discarded: on a machine
# shared with other work this varies far less than the wall clock.
seconds() {
  /usr/bin/time -f "%U %S" -o "$work/time" "$@" >/dev/null 2>&1
  awk '{ printf "%.3f\n", $1 + $2 }' "$work/time"
}

# Peak resident memory in KiB of one run.
peak_kib() {
  /usr/bin/time -f "%M" -o "$work/time" "$@" >/dev/null 2>&1
  cat "$work/time"
}

median() { sort -n | awk '{ v[NR] = $1 } END { m = int((NR + 1) / 2); printf "%.3f", v[m] }'; }

codecs="aac opus flac"
for name in orvel_mp3 mpg123 ffmpeg orvel_ogg oggdec rss_with rss_without; do : > "$work/$name"; done
for c in $codecs; do : > "$work/orvel_$c"; : > "$work/ffmpeg_$c"; done
i=0
while [ "$i" -lt "$rounds" ]; do
  seconds "$bin/orvel-decode" "$work/song.mp3" >> "$work/orvel_mp3"
  seconds mpg123 -q -w /dev/null "$work/song.mp3" >> "$work/mpg123"
  seconds ffmpeg -nostdin -loglevel error -i "$work/song.mp3" -f null - >> "$work/ffmpeg"
  seconds "$bin/orvel-decode" "$work/song.ogg" >> "$work/orvel_ogg"
  seconds oggdec -Q -o /dev/null "$work/song.ogg" >> "$work/oggdec"
  for c in $codecs; do
    seconds "$bin/orvel-decode" "$work/song.$c" >> "$work/orvel_$c"
    seconds ffmpeg -nostdin -loglevel error -i "$work/song.$c" -f null - >> "$work/ffmpeg_$c"
  done
  peak_kib "$bin/orvel-decode" "$work/song.mp3" >> "$work/rss_with"
  peak_kib "$work/bare/orvel-decode" "$work/song.mp3" >> "$work/rss_without"
  i=$((i + 1))
done

om=$(median < "$work/orvel_mp3"); mp=$(median < "$work/mpg123"); ff=$(median < "$work/ffmpeg")
oo=$(median < "$work/orvel_ogg"); od=$(median < "$work/oggdec")
echo "MP3 5 min 128 kbit/s, median of $rounds: orvel-decode ${om}s, mpg123 ${mp}s, ffmpeg ${ff}s"
echo "  ratio to mpg123 $(echo "$om / $mp" | bc -l | cut -c1-5), to ffmpeg $(echo "$om / $ff" | bc -l | cut -c1-5), $(echo "300 / $om" | bc -l | cut -d. -f1) x real time"
echo "Ogg Vorbis 5 min, median of $rounds: orvel-decode ${oo}s, oggdec ${od}s"
echo "  ratio to oggdec $(echo "$oo / $od" | bc -l | cut -c1-5), $(echo "300 / $oo" | bc -l | cut -d. -f1) x real time"
for c in $codecs; do
  oc=$(median < "$work/orvel_$c"); fc=$(median < "$work/ffmpeg_$c")
  echo "$c 5 min, median of $rounds: orvel-decode ${oc}s, ffmpeg ${fc}s, ratio $(echo "$oc / $fc" | bc -l | cut -c1-5)"
done
rw=$(median < "$work/rss_with"); rb=$(median < "$work/rss_without")
echo "MP3 decode peak memory, median of $rounds: ${rw} KiB with the codec library, ${rb} KiB without (limit +512 KiB)"
if [ -n "${BENCH_ROWS:-}" ]; then
  row() { awk -v m="$1" -v o="$2" -v r="$3" -v d="$4" \
    'BEGIN { printf "%s\t%s\t%s\t%.2f\n", m, o, r, (d > 0 ? o / d : 0) }' >> "$BENCH_ROWS"; }
  row "MP3 decode 5 min 128k, CPU s" "$om" "mpg123 $mp" "$mp"
  row "MP3 decode 5 min 128k, CPU s" "$om" "ffmpeg $ff" "$ff"
  row "Ogg decode 5 min q4, CPU s" "$oo" "oggdec $od" "$od"
  row "MP3 decode peak KiB, codec library present" "$rw" "absent $rb" "$rb"
  for c in $codecs; do
    oc=$(median < "$work/orvel_$c"); fc=$(median < "$work/ffmpeg_$c")
    row "$c decode 5 min (codec library), CPU s" "$oc" "ffmpeg $fc" "$fc"
  done
elif [ -x "$bin/decode_bench" ]; then
  "$bin/decode_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
fi
