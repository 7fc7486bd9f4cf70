#!/usr/bin/env python3
"""Loopback live HLS server for the engine tests.

Makes live streams of a 440 Hz tone whose level steps every 6 seconds ("Song K" plays from
second 6*(K-1) on: level 0.2 for odd K, 0.4 for even K, with a 50 ms ramp between) in 2-second
segments, a window of 5, old segments deleted as the window slides, and serves them on
127.0.0.1 over HTTP/1.1 (keep-alive). It prints "PORT <n>" once every stream has a full window,
and ends when its standard input closes or it is terminated.

Streams (each /<name>/index.m3u8):
  ts     ffmpeg's HLS muxer, MPEG-TS segments; EXTINF lines carry title="Song K"
  fmp4   the same in fragmented MP4 (EXT-X-MAP)
  aes    MPEG-TS segments encrypted with AES-128 (the key at /aes/key.bin)
  adts   packed ADTS audio cut here, each segment led by an ID3 tag naming its song (TIT2)
/master.m3u8 lists three variants of which only the 140 kbit/s one exists (/ts/).
Path prefixes change a stream's behaviour for that request path:
  /drop/<name>/...    the fourth segment after the first playlist request answers 404
  /freeze/<name>/...  the playlist stops changing 8 s after its first request (each query
                      of the playlist's URL freezes on its own)
  /disc/<name>/...    every third segment is marked as a discontinuity (the audio goes on)
  /end/<name>/...     the playlist as it is now, ended (EXT-X-ENDLIST)
  /gone/<name>/...    the playlist answers 404 from 8 s after its first request on
Every request line is appended to the --log file.
"""
import argparse
import http.server
import os
import re
import shutil
import signal
import socketserver
import struct
import subprocess
import sys
import tempfile
import threading
import time

SEGMENT_SECONDS = 2
WINDOW = 5
SONG_SECONDS = 6
RATE = 44100
TONE = ("aevalsrc='(0.2+0.2*clip((mod(t,12)-6)*20,0,1)-0.2*clip((mod(t,12)-11.95)*20,0,1))"
        "*sin(2*PI*440*t)':s=44100:c=stereo")
KEY = bytes(range(16))


def song_of_sequence(sequence):
    return sequence * SEGMENT_SECONDS // SONG_SECONDS + 1


def ffmpeg_stream(folder, kind):
    args = ["ffmpeg", "-nostdin", "-v", "error", "-re", "-f", "lavfi", "-i", TONE, "-c:a", "aac",
            "-b:a", "128k", "-f", "hls", "-hls_time", str(SEGMENT_SECONDS),
            "-hls_list_size", str(WINDOW), "-hls_flags", "delete_segments"]
    if kind == "fmp4":
        args += ["-hls_segment_type", "fmp4", "-hls_segment_filename", folder + "/seg%d.m4s"]
    else:
        args += ["-hls_segment_type", "mpegts", "-hls_segment_filename", folder + "/seg%d.ts"]
    if kind == "aes":
        with open(folder + "/key.bin", "wb") as f:
            f.write(KEY)
        with open(folder + "/keyinfo", "w") as f:
            f.write("key.bin\n%s/key.bin\n" % folder)
        args += ["-hls_key_info_file", folder + "/keyinfo"]
    args.append(folder + "/index.m3u8")
    return subprocess.Popen(args, stdin=subprocess.DEVNULL)


def id3_tag(song, sequence):
    def frame(name, payload):
        size = len(payload)
        syncsafe = bytes([(size >> 21) & 0x7F, (size >> 14) & 0x7F, (size >> 7) & 0x7F, size & 0x7F])
        return name + syncsafe + b"\0\0" + payload
    stamp = sequence * SEGMENT_SECONDS * 90000
    frames = frame(b"PRIV", b"com.apple.streaming.transportStreamTimestamp\0" + struct.pack(">Q", stamp))
    frames += frame(b"TIT2", b"\x03" + ("Song %d" % song).encode("utf-8"))
    size = len(frames)
    return (b"ID3\x04\x00\x00" + bytes([(size >> 21) & 0x7F, (size >> 14) & 0x7F,
                                        (size >> 7) & 0x7F, size & 0x7F]) + frames)


def write_atomically(path, data):
    with open(path + ".tmp", "wb") as f:
        f.write(data)
    os.replace(path + ".tmp", path)


def adts_stream(folder):
    """Cuts ffmpeg's live ADTS output into packed-audio segments itself."""
    process = subprocess.Popen(
        ["ffmpeg", "-nostdin", "-v", "error", "-re", "-f", "lavfi", "-i", TONE, "-c:a", "aac",
         "-b:a", "128k",
         "-f", "adts", "pipe:1"], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE)

    def cut():
        frames_read = 0
        sequence = 0
        segment = b""
        durations = []
        while True:
            header = process.stdout.read(7)
            if len(header) < 7:
                return
            length = ((header[3] & 3) << 11) | (header[4] << 3) | (header[5] >> 5)
            segment += header + process.stdout.read(length - 7)
            frames_read += 1
            if frames_read * 1024 < (sequence + 1) * SEGMENT_SECONDS * RATE:
                continue
            name = "seg%d.aac" % sequence
            write_atomically(folder + "/" + name,
                             id3_tag(song_of_sequence(sequence), sequence) + segment)
            durations.append((sequence, name, len(segment)))
            segment = b""
            sequence += 1
            window = durations[-WINDOW:]
            lines = ["#EXTM3U", "#EXT-X-VERSION:3", "#EXT-X-TARGETDURATION:%d" % SEGMENT_SECONDS,
                     "#EXT-X-MEDIA-SEQUENCE:%d" % window[0][0]]
            for _, segment_name, _ in window:
                lines += ["#EXTINF:%.3f," % SEGMENT_SECONDS, segment_name]
            write_atomically(folder + "/index.m3u8", ("\n".join(lines) + "\n").encode())
            for old in durations[:-WINDOW - 1]:
                try:
                    os.remove(folder + "/" + old[1])
                except OSError:
                    pass
            del durations[:-WINDOW - 1]

    threading.Thread(target=cut, daemon=True).start()
    return process


class State:
    def __init__(self, root, log_path):
        self.root = root
        self.log_path = log_path
        self.lock = threading.Lock()
        self.first_seen = {}  # request path -> (time, sequence at that time)
        self.frozen = {}  # request path -> frozen playlist text


def titled(text):
    """Adds title="Song K" to each EXTINF of a ts/fmp4/aes playlist."""
    out = []
    lines = text.split("\n")
    for i, line in enumerate(lines):
        following = lines[i + 1] if i + 1 < len(lines) else ""
        match = re.match(r"seg(\d+)\.", following)
        if line.startswith("#EXTINF:") and match:
            line = line.split(",")[0] + ',title="Song %d"' % song_of_sequence(int(match.group(1)))
        out.append(line)
    return "\n".join(out)


def first_sequence(text):
    match = re.search(r"#EXT-X-MEDIA-SEQUENCE:(\d+)", text)
    return int(match.group(1)) if match else 0


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send(self, status, body=b"", content_type="application/octet-stream"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        state = self.server.state
        with state.lock:
            with open(state.log_path, "a") as log:
                log.write("%s %s\n" % (self.client_address[1], self.path))
        path = self.path.split("?", 1)[0]
        if path == "/master.m3u8":
            text = ("#EXTM3U\n"
                    '#EXT-X-STREAM-INF:BANDWIDTH=70000,CODECS="mp4a.40.2"\nmissing70/index.m3u8\n'
                    '#EXT-X-STREAM-INF:BANDWIDTH=600000,CODECS="mp4a.40.2"\nmissing600/index.m3u8\n'
                    '#EXT-X-STREAM-INF:BANDWIDTH=140000,CODECS="mp4a.40.2"\nts/index.m3u8\n')
            return self.send(200, text.encode(), "application/vnd.apple.mpegurl")
        parts = path.strip("/").split("/")
        mode = parts.pop(0) if parts and parts[0] in ("drop", "freeze", "disc", "end", "gone") else ""
        if len(parts) != 2 or parts[0] not in ("ts", "fmp4", "aes", "adts") or ".." in parts[1]:
            return self.send(404)
        stream, name = parts
        if name == "index.m3u8":
            return self.playlist(self.path, stream, mode)
        if mode == "drop" and self.dropped(path, name):
            return self.send(404)
        try:
            with open(os.path.join(state.root, stream, name), "rb") as f:
                body = f.read()
        except OSError:
            return self.send(404)
        self.send(200, body)

    def playlist(self, path, stream, mode):
        state = self.server.state
        with open(os.path.join(state.root, stream, "index.m3u8")) as f:
            text = f.read()
        if stream != "adts":
            text = titled(text)
        if mode == "end":
            text = text.rstrip("\n") + "\n#EXT-X-ENDLIST\n"
        if mode == "disc":
            text = re.sub(r"(#EXTINF:[^\n]*\nseg(\d+)\.)", lambda m: (
                "#EXT-X-DISCONTINUITY\n" if int(m.group(2)) % 3 == 0 else "") + m.group(1), text)
        with state.lock:
            first = state.first_seen.setdefault(path, (time.time(), first_sequence(text)))
            gone = mode == "gone" and time.time() - first[0] >= 8
            if mode == "freeze":
                if path in state.frozen:
                    text = state.frozen[path]
                elif time.time() - first[0] >= 8:
                    state.frozen[path] = text
        if gone:
            return self.send(404)
        self.send(200, text.encode(), "application/vnd.apple.mpegurl")

    def dropped(self, path, name):
        state = self.server.state
        match = re.match(r"seg(\d+)\.", name)
        playlist = path.rsplit("/", 1)[0] + "/index.m3u8"
        with state.lock:
            first = state.first_seen.get(playlist)
        return bool(match and first and int(match.group(1)) == first[1] + WINDOW + 3)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


def wait_for_windows(root, streams):
    deadline = time.time() + 40
    while time.time() < deadline:
        ready = 0
        for stream in streams:
            try:
                with open(os.path.join(root, stream, "index.m3u8")) as f:
                    ready += f.read().count("#EXTINF") >= WINDOW - 1
            except OSError:
                pass
        if ready == len(streams):
            return True
        time.sleep(0.2)
    return False


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--log", default="/dev/null")
    parser.add_argument("--streams", default="ts,fmp4,aes,adts")
    args = parser.parse_args()
    root = tempfile.mkdtemp(prefix="hls_server")
    streams = args.streams.split(",")
    processes = []
    for stream in streams:
        os.mkdir(os.path.join(root, stream))
        folder = os.path.join(root, stream)
        processes.append(adts_stream(folder) if stream == "adts" else ffmpeg_stream(folder, stream))

    def finish(*_):
        # No waiting here: this also runs as the signal handler, maybe inside a wait.
        for process in processes:
            process.kill()
        shutil.rmtree(root, ignore_errors=True)
        os._exit(0)

    signal.signal(signal.SIGTERM, finish)
    if not wait_for_windows(root, streams):
        finish()
    server = Server(("127.0.0.1", 0), Handler)
    server.state = State(root, args.log)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print("PORT %d" % server.server_address[1], flush=True)
    sys.stdin.read()
    finish()


if __name__ == "__main__":
    main()
