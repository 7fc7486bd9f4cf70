#!/usr/bin/env bash
# Builds the library readers with libFuzzer, AddressSanitizer and UBSan (clang) and runs them for
# a while on a seed corpus of real files.
#   tests/library/fuzz/run-fuzzer.sh [SECONDS] [BUILD_DIR]
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/../../.." && pwd)
out=${2:-$root/build-library}/fuzz
mkdir -p "$out/corpus"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" "$root/tests/library/fuzz/LibraryFuzzer.cpp" \
  "$root"/library/{RadioLibrary,PlaylistFile,RrdFile,M3uPlaylist,PlsPlaylist}.cpp \
  "$root"/platform/{Text,FilePath,AtomicFile}.cpp -o "$out/library-fuzzer"
# Seeds: the shipped library (selector 0x80: .rrd with append) and one M3U and one PLS file.
{ printf '\x80'; cat "$root/resources/Radios/default.rrd"; } > "$out/corpus/default-rrd"
printf '\x01#EXTM3U\r\n#EXTINF:-1,A, b\r\nhttp://a\r\nhttp://plain\n' > "$out/corpus/m3u"
printf '\x02[playlist]\nNumberOfEntries=2\nFile1=http://a\nTitle1=A\nLength1=-1\nFile2=x\n' \
  > "$out/corpus/pls"
"$out/library-fuzzer" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$out/corpus"
