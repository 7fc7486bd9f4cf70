#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into tests/fuzz/seeds/<target>/.

Every seed is made here (the MP3 and Ogg ones by lame and oggenc from a generated tone), so the
corpora can be remade at any time: tests/fuzz/make_seeds.py
"""
import math
import os
import struct
import subprocess
import sys
import tempfile
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SEEDS = os.path.join(HERE, "seeds")


def put(target, name, data):
    folder = os.path.join(SEEDS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def rrd_line(fields, selected):
    text = "".join('"' + f.replace('"', '""') + '",' for f in fields)
    return text + ("a" if selected else "") + "\n"


def library_seeds():
    lines = rrd_line(["Radio One", "http://127.0.0.1:8000/one", "Rock", "a comment", "128",
                      "MP3", "One"], True)
    lines += rrd_line(['"Quoted" radio', "http://127.0.0.1/two", "Jazz", "", "", "Ogg Vorbis",
                       ""], False)
    lines += "\r\n" + rrd_line(["Short"], False)[:-1] + "\n" + '"cut off'
    body = b"\xff\xfe" + lines.encode("utf-16-le")
    put("RrdFileFuzzer", "two-radios-append", b"\x80" + body)
    put("RrdFileFuzzer", "two-radios-sorted", b"\x00" + body)
    shipped = os.path.join(ROOT, "resources", "Radios", "default.rrd")
    with open(shipped, "rb") as f:
        put("RrdFileFuzzer", "shipped-append", b"\x80" + f.read())

    put("M3uPlaylistFuzzer", "extended", b"\x00#EXTM3U\r\n#EXTINF:-1,Radio A, with comma\r\n"
        b"http://127.0.0.1/a\r\n#EXTINF:120,B\r\nhttp://127.0.0.1/b\r\n")
    put("M3uPlaylistFuzzer", "plain-bom", b"\x80\xef\xbb\xbfhttp://127.0.0.1/plain\n"
        b"http://127.0.0.1/caf\xc3\xa9\nhttp://127.0.0.1/caf\xe9\n\nafter the end\n")
    put("M3uPlaylistFuzzer", "overlong", b"\x00http://" + b"x" * 300 + b"\n")

    put("PlsPlaylistFuzzer", "three", b"\x00[playlist]\r\nNumberOfEntries=3\r\n"
        b"File1=http://127.0.0.1/1\r\nTitle1=One\r\nLength1=-1\r\n"
        b"File2=http://127.0.0.1/2\r\nFile3=http://127.0.0.1/3\r\nTitle3=Three\r\n"
        b"Length3=-1\r\nVersion=2\r\n")
    put("PlsPlaylistFuzzer", "no-length", b"\x80[PLAYLIST]\nnumberofentries=2\nfile1=a\n"
        b"title1=A\nfile2=b\ntitle2=B\n")


def playlist_url_seeds():
    put("PlaylistUrlsFuzzer", "xspf", b'<?xml version="1.0"?><playlist xmlns="http://xspf.org/ns/0/">'
        b"<trackList><track><title>A &amp; B</title><location>http://127.0.0.1/a</location>"
        b"</track><track><location><![CDATA[http://127.0.0.1/b]]></location></track>"
        b"</trackList></playlist>")
    put("PlaylistUrlsFuzzer", "asx", b'<asx version="3.0"><entry><title>T</title>'
        b"<ref href=\"http://127.0.0.1/1\"/><ref href='http://127.0.0.1/2'/></entry></asx>")
    put("PlaylistUrlsFuzzer", "pls", b"[playlist]\nNumberOfEntries=1\nFile1=http://127.0.0.1/\n")
    put("PlaylistUrlsFuzzer", "m3u", b"#EXTM3U\n#EXTINF:-1,X\nhttp://127.0.0.1/x\nhttp://y\n")


def skin_seeds():
    shipped = os.path.join(ROOT, "resources", "Skins", "ov_default", "default.rs")
    with open(shipped, "rb") as f:
        text = f.read()
    # The images do not exist beside the scratch file; empty names let every section be read.
    lines = [b"File=" if line.startswith(b"File=") else line for line in text.split(b"\r\n")]
    emptied = b"\r\n".join(lines)
    put("SkinDescriptionFuzzer", "shipped-unscaled", b"\x00" + emptied)
    put("SkinDescriptionFuzzer", "shipped-480", b"\x03" + emptied)
    put("SkinDescriptionFuzzer", "two-sections", b"\x01[Info]\r\nWidth=240\r\nHeight=320\r\n"
        b"Name=n\r\n\r\n[MainPanel]\r\nX=0\r\nY=0\r\nFile=\r\n\r\n")


def network_seeds():
    headers = (b"ICY 200 OK\r\nicy-name:Radio\r\nicy-genre:Rock\r\nicy-metaint:8192\r\n"
               b"content-type:audio/mpeg\r\nicy-br:128\r\n\r\nbody")
    put("IcyHeaderReaderFuzzer", "ok", struct.pack("<H", 4096) + headers)
    put("IcyHeaderReaderFuzzer", "tight", struct.pack("<H", 60) + headers)
    put("IcyHeaderReaderFuzzer", "latin1", struct.pack("<H", 512) +
        b"icy 200 ok\r\nicy-name:Caf\xe9\r\n\r\n")

    # Metaint (2 bytes of the provider's tail), then reads: size, in-place flag, bytes.
    block = b"StreamTitle='Artist - Song';StreamUrl='';"
    block += b"\0" * (-len(block) % 16)
    stream = b"A" * 16 + bytes([len(block) // 16]) + block + b"B" * 16 + b"\0" + b"C" * 16
    put("MetadataSplitterFuzzer", "two-blocks", stream * 3 + b"\x0f\x00")

    put("M3u8PlaylistFuzzer", "master",
        b'#EXTM3U\n#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID="a",DEFAULT=YES,URI="a/x.m3u8"\n'
        b'#EXT-X-STREAM-INF:BANDWIDTH=140000,CODECS="mp4a.40.2",AUDIO="a"\nlo.m3u8\n'
        b'#EXT-X-STREAM-INF:BANDWIDTH=900000,CODECS="avc1.4d401f,mp4a.40.2"\nhi.m3u8\n')
    put("M3u8PlaylistFuzzer", "media",
        b'#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-MEDIA-SEQUENCE:7\n'
        b'#EXT-X-KEY:METHOD=AES-128,URI="k",IV=0x000102030405060708090a0b0c0d0e0f\n'
        b'#EXT-X-MAP:URI="init.mp4"\n#EXTINF:2.0,title="A \\"B\\"",artist="C"\ns7.m4s\n'
        b'#EXT-X-DISCONTINUITY\n#EXTINF:2.0,\ns8.m4s\n#EXT-X-ENDLIST\n')


def tone_wav(path, seconds, rate):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        frames = b"".join(struct.pack("<h", int(8000 * math.sin(i * 0.05)))
                          for i in range(int(seconds * rate)))
        w.writeframes(frames)


def id3v2_frame(frame_id, text):
    body = b"\0" + text
    return frame_id + struct.pack(">I", len(body)) + b"\0\0" + body


def audio_seeds():
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "tone.wav")
        tone_wav(wav, 0.3, 8000)
        mp3 = os.path.join(tmp, "tone.mp3")
        ogg = os.path.join(tmp, "tone.ogg")
        subprocess.run(["lame", "--quiet", "-b", "8", "--resample", "8", "-m", "m", wav, mp3],
                       check=True)
        subprocess.run(["oggenc", "--quiet", "-q", "-1", "-o", ogg, wav], check=True)
        with open(mp3, "rb") as f:
            mp3_bytes = f.read()
        with open(ogg, "rb") as f:
            ogg_bytes = f.read()
        codec_library_seeds(wav)
    # Chunk size, seek flag and duration are read from the provider's tail.
    put("Mp3ScanFuzzer", "tone", mp3_bytes + b"\x00\x01\x01\x00")
    put("Mp3ScanFuzzer", "tone-small-chunks", mp3_bytes + b"\x07\x00\x00\x00")

    frames = b"".join(id3v2_frame(i, t) for i, t in [
        (b"TIT2", b"Title"), (b"TPE1", b"Artist"), (b"TALB", b"Album"), (b"TYER", b"2001"),
        (b"TCON", b"(17)Rock"), (b"TRCK", b"3")])
    size = len(frames)
    synchsafe = bytes([(size >> 21) & 0x7F, (size >> 14) & 0x7F, (size >> 7) & 0x7F, size & 0x7F])
    v2 = b"ID3\x03\x00\x00" + synchsafe + frames
    v1 = (b"TAG" + b"V1 title".ljust(30, b"\0") + b"V1 artist".ljust(30, b"\0") +
          b"V1 album".ljust(30, b"\0") + b"1999" + b"comment".ljust(28, b"\0") + b"\0\x05" +
          b"\x11")
    put("Id3TagReaderFuzzer", "v2-and-v1", b"\x00" + v2 + mp3_bytes[:200] + v1)
    put("Id3TagReaderFuzzer", "v1-only", b"\x03" + mp3_bytes[:200] + v1)

    put("OggDecoderFuzzer", "tone-seekable", b"\x01" + ogg_bytes)
    put("OggDecoderFuzzer", "tone-stream", b"\x00" + ogg_bytes)


def codec_library_seeds(wav):
    # The first byte: format (0 aac, 1 flac, 2 oga, 3 opus) | 4 when the stream can seek.
    with tempfile.TemporaryDirectory() as tmp:
        for first, name, args in [(0x04, "tone.aac", ["-c:a", "aac", "-b:a", "16k", "-f", "adts"]),
                                  (0x05, "tone.flac", ["-c:a", "flac"]),
                                  (0x06, "tone-flac.oga", ["-c:a", "flac", "-f", "ogg"]),
                                  (0x02, "tone-vorbis.oga",
                                   ["-c:a", "libvorbis", "-q:a", "0", "-f", "ogg"]),
                                  (0x03, "tone.opus", ["-c:a", "libopus", "-b:a", "8k"])]:
            out = os.path.join(tmp, name)
            subprocess.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", wav,
                            "-serial_offset", "7", "-fflags", "+bitexact", "-flags:a", "+bitexact"]
                           + args + [out], check=True)
            with open(out, "rb") as f:
                put("CodecLibraryFuzzer", name, bytes([first]) + f.read())


def hls_segments(tmp, wav, name, args):
    """ffmpeg's HLS segments of `wav` (and the fMP4 initialization section first), as one seed."""
    playlist = os.path.join(tmp, name + ".m3u8")
    subprocess.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", wav, "-fflags",
                    "+bitexact", "-flags:a", "+bitexact"] + args +
                   ["-f", "hls", "-hls_time", "0.25", "-hls_list_size", "0",
                    "-hls_segment_filename", os.path.join(tmp, name + "%d.seg"), playlist],
                   check=True)
    parts = []
    with open(playlist) as f:
        for line in f:
            line = line.strip()
            if line.startswith("#EXT-X-MAP:URI="):
                parts.insert(0, line.split('"')[1])
            elif line and not line.startswith("#"):
                parts.append(line)
    data = []
    for part in parts:
        with open(os.path.join(tmp, part), "rb") as f:
            data.append(f.read())
    return b"=SEG=".join(data)


def hls_seeds():
    # The first byte seeds the piece sizes of the split run; parts are joined by "=SEG=".
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "tone.wav")
        tone_wav(wav, 0.6, 16000)
        aac = ["-c:a", "aac", "-b:a", "16k"]
        put("TsDemuxerFuzzer", "aac", b"\x05" + hls_segments(tmp, wav, "ts-aac", aac))
        put("TsDemuxerFuzzer", "mp3", b"\x09" + hls_segments(
            tmp, wav, "ts-mp3", ["-c:a", "libmp3lame", "-b:a", "16k"]))
        put("Fmp4DemuxerFuzzer", "aac", b"\x03" + hls_segments(
            tmp, wav, "fmp4", aac + ["-hls_segment_type", "fmp4",
                                      "-hls_fmp4_init_filename", "fmp4-init.mp4"]))


def alarm_seeds():
    def time(y, mo, dow, d, h, mi):
        return struct.pack("<8H", y, mo, dow, d, h, mi, 0, 0)
    entry = time(2026, 12, 3, 9, 7, 30) + time(2026, 12, 3, 9, 8, 0) + struct.pack("<iI", 2, 77)
    put("AlarmListFuzzer", "two", struct.pack("<I", 2) + entry + entry)
    put("AlarmListFuzzer", "count-too-large", struct.pack("<I", 9) + entry + entry[:12])


def main():
    library_seeds()
    playlist_url_seeds()
    skin_seeds()
    network_seeds()
    audio_seeds()
    alarm_seeds()
    hls_seeds()
    return 0


if __name__ == "__main__":
    sys.exit(main())
