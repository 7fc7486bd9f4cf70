#!/bin/sh
# Makes the HLS segments the segment reader tests read, with ffmpeg and openssl: one elementary
# stream per codec, and the same stream cut into segments of every container.
# Usage: make_fixtures.sh OUTDIR
set -eu
out=$1
mkdir -p "$out"
cd "$out"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }

# A rising tone per channel, so that any byte out of place changes the sound.
ff -f lavfi -i "aevalsrc=0.5*sin(2*PI*(200+300*t)*t)|0.4*sin(2*PI*(900-200*t)*t):s=44100:d=7" \
  -c:a aac -b:a 96k -f adts src.aac
ff -f lavfi -i "aevalsrc=0.5*sin(2*PI*(300+200*t)*t):s=44100:d=7" \
  -c:a libmp3lame -b:a 128k -write_xing 0 -id3v2_version 0 -f mp3 src.mp3

ff -i src.aac -c copy -f hls -hls_time 2 -hls_list_size 0 -hls_segment_type mpegts \
  -hls_segment_filename 'ts-aac%d.ts' ts-aac.m3u8
ff -i src.mp3 -c copy -f hls -hls_time 2 -hls_list_size 0 -hls_segment_type mpegts \
  -hls_segment_filename 'ts-mp3%d.ts' ts-mp3.m3u8
ff -i src.aac -c copy -bsf:a aac_adtstoasc -f hls -hls_time 2 -hls_list_size 0 \
  -hls_segment_type fmp4 -hls_fmp4_init_filename fmp4-init.mp4 \
  -hls_segment_filename 'fmp4-%d.m4s' fmp4.m3u8
ff -i src.mp3 -c copy -f hls -hls_time 2 -hls_list_size 0 -hls_segment_type fmp4 \
  -hls_fmp4_init_filename fmp4-mp3-init.mp4 -hls_segment_filename 'fmp4-mp3-%d.m4s' fmp4-mp3.m3u8
# Packed audio: every segment opens with an ID3 tag naming the track (v2.4 in UTF-8 for AAC,
# v2.3 in UTF-16 for MP3).
ff -i src.aac -c copy -f segment -segment_time 2 -segment_format adts \
  -segment_format_options write_id3v2=1 -metadata title="Zwölf Töne" -metadata artist="Ørkester" \
  -segment_list packed-aac.m3u8 'packed-aac%d.aac'
ff -i src.mp3 -c copy -f segment -segment_time 2 -segment_format mp3 \
  -segment_format_options id3v2_version=3:write_xing=0 -metadata title="Zwölf Töne" \
  -metadata artist="Ørkester" -segment_list packed-mp3.m3u8 'packed-mp3%d.mp3'

# The AAC transport stream encrypted with AES-128: the IV is each segment's sequence number.
key=000102030405060708090a0b0c0d0e0f
printf '%s' "$key" > key.hex
n=0
for segment in $(grep -v '^#' ts-aac.m3u8); do
  openssl enc -aes-128-cbc -K "$key" -iv "$(printf '%032x' "$n")" -in "$segment" \
    -out "enc-$segment"
  n=$((n + 1))
done
