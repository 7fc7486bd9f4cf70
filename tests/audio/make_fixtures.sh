#!/bin/sh
# Makes the audio files the decoder tests read, reproducibly, with ffmpeg, lame and oggenc.
# Usage: make_fixtures.sh OUTDIR
set -eu
out=$1
mkdir -p "$out"
cd "$out"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }

# Two tones, a different one per channel, so that a swapped or lost channel shows.
ff -f lavfi -i "aevalsrc=0.5*sin(440*2*PI*t)|0.4*sin(660*2*PI*t):s=44100:d=3" -c:a pcm_s16le src44.wav
ff -f lavfi -i "aevalsrc=0.5*sin(330*2*PI*t):s=22050:d=2" -c:a pcm_s16le src22m.wav
ff -f lavfi -i "aevalsrc=0.5*sin(220*2*PI*t):s=8000:d=2" -c:a pcm_s16le src8m.wav
ff -f lavfi -i "aevalsrc=0.3*sin(550*2*PI*t)|0.3*sin(770*2*PI*t):s=44100:d=2" -c:a pcm_s16le srcb.wav

lame --quiet -t -b 128 src44.wav mpeg1-l3.mp3          # MPEG-1 layer III, no Xing header
lame --quiet -t -b 64 -m m src22m.wav mpeg2-l3.mp3     # MPEG-2 layer III, 22050 Hz mono
lame --quiet -t -b 16 -m m src8m.wav mpeg25-l3.mp3     # MPEG-2.5, 8000 Hz
lame --quiet -V 4 src44.wav vbr.mp3                    # Xing header with a frame count
ff -i src44.wav -c:a mp2 -b:a 192k layer2.mp2          # layer II
lame --quiet -b 128 --id3v2-only --tt "Song" --ta "Singer" --tl "Record" --ty 2001 \
  --tn 7 --tg Rock src44.wav tagged-v2.mp3
lame --quiet -b 128 --id3v1-only --tt "Old Song" --ta "Old Singer" --tl "Old Record" \
  --ty 1999 --tn 3 --tg 17 src44.wav tagged-v1.mp3

# Fixed serial numbers: oggenc picks them from the clock, so two runs in the same second gave
# both files the same one, and their chain looked like a single broken stream.
oggenc --quiet -q 3 -s 1001 -t "Première" -a "Ωmega" -G Jazz -d 2004 -N 9 -o tone.ogg src44.wav
oggenc --quiet -q 3 -s 2002 -t "Second" -o second.ogg srcb.wav
cat tone.ogg second.ogg > chained.ogg                  # two logical streams, as a server sends
# For the codec library: a rising tone per channel, which matches itself at one offset only,
# coded by ffmpeg, and ffmpeg's own decode of each file as the sound it must give.
ff -f lavfi -i "aevalsrc=0.5*sin(2*PI*(200+300*t)*t)|0.4*sin(2*PI*(900-200*t)*t):s=44100:d=3" \
  -c:a pcm_s16le sweep.wav
ff -i sweep.wav -c:a aac -b:a 128k -f adts sweep.aac
ff -i sweep.wav -c:a libopus -b:a 128k -metadata title="Première" -metadata artist="Ωmega" \
  -serial_offset 1001 sweep.opus
ff -i sweep.wav -c:a flac -metadata title="Flac Song" -metadata date=2011 sweep.flac
ff -i sweep.wav -c:a flac -metadata title="Ogg Flac Song" -serial_offset 3003 -f ogg sweep-flac.oga
ff -i sweep.wav -c:a libopus -b:a 128k -serial_offset 2002 -f ogg sweep-opus.oga
ff -i sweep.wav -c:a libvorbis -q:a 4 -metadata title="Vorbis Song" -f ogg sweep-vorbis.oga
cat sweep.opus sweep-opus.oga > sweep-chained.opus
# 5.1 with one tone in one channel: the centre, then the left surround.
ff -f lavfi -i "aevalsrc=0|0|0.5*sin(440*2*PI*t)|0|0|0:s=48000:d=1:c=5.1" -c:a flac centre-5.1.flac
ff -f lavfi -i "aevalsrc=0|0|0|0|0.5*sin(440*2*PI*t)|0:s=48000:d=1:c=5.1" -c:a flac left-5.1.flac
# A short last link: the end of the file then lies near the first link's last page.
ff -i sweep.wav -t 1 -c:a libopus -b:a 64k -serial_offset 4004 -f ogg sweep-short.oga
cat sweep.opus sweep-short.oga > sweep-chained-short.opus
for f in sweep.aac sweep.opus sweep.flac sweep-flac.oga sweep-opus.oga sweep-short.oga \
  sweep-vorbis.oga; do
  ff -i "$f" -f s16le "$f.s16"
done
rm -f src44.wav src22m.wav src8m.wav srcb.wav sweep.wav
