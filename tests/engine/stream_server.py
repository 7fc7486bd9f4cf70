#!/usr/bin/env python3
"""Loopback radio-stream server for the engine tests.

Serves an MP3 file in a loop on 127.0.0.1 and prints "PORT <n>" once it listens. It ends when
its standard input closes (the test that started it went away) or when it is killed.

The request's query chooses the behaviour:
  mode=http|icy|icy401|404|500|redirect|loop|silent
                     answer kind (default http); silent never answers, loop redirects to itself
  metaint=N          insert a metadata block after every N audio bytes and announce it
  metaint_header=V   announce V as icy-metaint instead of N (the insertion still uses N)
  titles=A|B         titles of successive blocks (default "Song 1", "Song 2", ...)
  title_len=N        every title is N letters long
  noterm=1           metadata blocks hold an unterminated StreamTitle and no padding
  stall=N            stop sending after N audio bytes and keep the connection open
  close=N            close the connection after N body bytes (metadata included)
  reset=N            reset the connection (TCP RST) after N body bytes
  drip=N             after N body bytes, send one byte every drip_ms (default 1000) ms
  drip_head=1        send the answer's head itself one byte every drip_ms ms
  pause=N            after N body bytes, send nothing for pause_ms (default 3000) ms, then go on
  rate=N             send N body bytes a second, in small pieces, after a first burst of
                     burst=M bytes (default 0) sent at once: a station's real-time pace
  piece=N            send the body in pieces of at most N bytes, each on its own, piece_ms
                     (default 0) ms apart
  garbage=1          random bytes instead of audio after the head
  split=1            send the answer's first line, pause, then the rest
  junk=N             add N extra header lines
  to=PATH            redirect target (mode=redirect)
  hops=N             with mode=redirect: N redirects in a row, then the stream
  type=T             Content-Type (default audio/mpeg; "none" leaves it out)
  playlist=pls|m3u|xspf  answer with a playlist of entries=A|B|... (URLs as written; "self"
                     names this very request) instead of audio, then close; pad=N puts N
                     bytes of comment lines (M3U) before the entries
Requests for the same target count as one station's listeners coming back after a drop:
  drops=K            only the first K connections end as close/reset/stall/drip say
  then=MODE          answer every connection after the first as mode=MODE
  skip=N             a later connection's audio starts N bytes after where the one before
                     stopped taking audio from the file (the station went on meanwhile)
Every request's head is appended to the --log file.
"""
import argparse
import os
import socket
import struct
import socketserver
import sys
import threading
import time
import urllib.parse

HOLD_SECONDS = 120


def parse_request(sock):
    data = b""
    while b"\r\n\r\n" not in data:
        piece = sock.recv(4096)
        if not piece:
            return None
        data += piece
        if len(data) > 65536:
            return None
    return data.split(b"\r\n\r\n", 1)[0].decode("latin-1")


def metadata_block(title, noterm):
    if noterm:
        text = ("StreamTitle='" + title).encode("utf-8")
        text += b"x" * ((-len(text)) % 16)
    else:
        text = ("StreamTitle='" + title + "';StreamUrl='';").encode("utf-8")
        text += b"\0" * ((-len(text)) % 16)
    text = text[: 255 * 16]
    return bytes([len(text) // 16]) + text


class Body:
    """The audio bytes in a loop, with metadata blocks after every metaint audio bytes."""

    def __init__(self, audio, query, start=0):
        self.audio = audio
        self.start = start
        self.metaint = int(query.get("metaint", "0"))
        titles = query.get("titles")
        self.titles = titles.split("|") if titles else None
        self.title_len = int(query.get("title_len", "0"))
        self.noterm = query.get("noterm") == "1"
        self.offset = 0
        self.blocks = 0

    def title(self):
        if self.title_len:
            return "x" * self.title_len
        if self.titles:
            return self.titles[self.blocks % len(self.titles)]
        return "Song %d" % (self.blocks + 1)

    def next_piece(self, limit):
        """Returns (bytes, audio byte count) of at most limit audio bytes."""
        start = (self.start + self.offset) % len(self.audio)
        size = min(limit, len(self.audio) - start, 4096)
        if self.metaint:
            size = min(size, self.metaint - self.offset % self.metaint)
        piece = self.audio[start : start + size]
        self.offset += size
        if self.metaint and self.offset % self.metaint == 0:
            piece += metadata_block(self.title(), self.noterm)
            self.blocks += 1
        return piece, size


def head_for(query):
    mode = query.get("mode", "http")
    if mode == "404":
        return "HTTP/1.0 404 Not Found\r\nContent-Type: text/plain\r\n\r\n"
    if mode == "icy401":
        return "ICY 401 Service Unavailable\r\n\r\n"
    if mode == "500":
        return "HTTP/1.0 500 Internal Server Error\r\nContent-Type: text/plain\r\n\r\n"
    if mode == "loop":
        return "HTTP/1.0 302 Found\r\nLocation: /loop?mode=loop\r\n\r\n"
    if mode == "redirect" and "hops" in query:
        hops = int(query["hops"])
        if hops > 0:
            return "HTTP/1.0 302 Found\r\nLocation: /hop?mode=redirect&hops=%d\r\n\r\n" % (hops - 1)
        mode = "http"
    elif mode == "redirect":
        return "HTTP/1.0 302 Found\r\nLocation: %s\r\n\r\n" % query.get("to", "/")
    lines = ["ICY 200 OK" if mode == "icy" else "HTTP/1.0 200 OK"]
    content_type = query.get("type", "audio/mpeg")
    if content_type != "none":
        lines.append("Content-Type: " + content_type)
    lines += ["icy-name: Loopback Radio", "icy-genre: Test", "icy-br: 32"]
    if "metaint" in query or "metaint_header" in query:
        lines.append("icy-metaint: " + query.get("metaint_header", query.get("metaint", "0")))
    for i in range(int(query.get("junk", "0"))):
        lines.append("x-junk-%d: %s" % (i, "j" * 40))
    return "\r\n".join(lines) + "\r\n\r\n"


def playlist_answer(query, target):
    entries = [target if e == "self" else e for e in query.get("entries", "").split("|") if e]
    kind = query["playlist"]
    if kind == "pls":
        lines = ["[playlist]", "NumberOfEntries=%d" % len(entries)]
        lines += ["File%d=%s" % (i + 1, e) for i, e in enumerate(entries)]
    elif kind == "xspf":
        lines = ['<?xml version="1.0" encoding="UTF-8"?>',
                 '<playlist version="1" xmlns="http://xspf.org/ns/0/"><trackList>']
        lines += ["<track><location>%s</location></track>" % e.replace("&", "&amp;")
                  for e in entries]
        lines.append("</trackList></playlist>")
    else:
        lines = ["#EXTM3U"] + ["#" + "-" * 99] * (int(query.get("pad", "0")) // 100)
        for e in entries:
            lines += ["#EXTINF:-1,Station", e]
    body = ("\r\n".join(lines) + "\r\n").encode("utf-8")
    head = "HTTP/1.0 200 OK\r\nContent-Length: %d\r\n" % len(body)
    if query.get("type", "none") != "none":
        head += "Content-Type: %s\r\n" % query["type"]
    return (head + "\r\n").encode("latin-1") + body


def hold(sock):
    sock.settimeout(HOLD_SECONDS)
    try:
        while sock.recv(4096):
            pass
    except OSError:
        pass


def drip_delay(query):
    return int(query.get("drip_ms", "1000")) / 1000.0


def drip(sock, data, query):
    for i in range(len(data)):
        sock.sendall(data[i : i + 1])
        time.sleep(drip_delay(query))


def reset(sock):
    """Ends the connection with a TCP RST instead of an orderly close."""
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    sock.close()


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        sock = self.request
        head = parse_request(sock)
        if head is None:
            return
        with self.server.log_lock:
            with open(self.server.log_path, "a", encoding="latin-1") as log:
                log.write(head + "\n----\n")
        target = head.split("\r\n", 1)[0].split(" ")[1]
        query = dict(urllib.parse.parse_qsl(urllib.parse.urlsplit(target).query))
        start = self.come_back(target, query)
        if query.get("mode") == "silent":
            hold(sock)
            return
        if "playlist" in query:
            sock.sendall(playlist_answer(query, target))
            return
        answer = head_for(query).encode("utf-8")
        body = Body(self.server.audio, query, start)
        try:
            if query.get("drip_head") == "1":
                drip(sock, answer, query)
                return
            if query.get("split") == "1":
                first = answer.index(b"\r\n") + 2
                sock.sendall(answer[:first])
                time.sleep(0.3)
                answer = answer[first:]
            sock.sendall(answer)
            if query.get("mode", "http") in ("http", "icy") or query.get("hops") == "0":
                self.stream(sock, query, body)
        except OSError:
            pass
        if "skip" in query:
            with self.server.log_lock:
                self.server.resume_at[target] = start + body.offset + int(query["skip"])

    def come_back(self, target, query):
        """Applies drops= and then= to this connection; returns where its audio starts."""
        with self.server.log_lock:
            number = self.server.listeners.get(target, 0) + 1
            self.server.listeners[target] = number
            start = self.server.resume_at.get(target, 0)
        if number > 1 and "then" in query:
            query["mode"] = query["then"]
        if number > int(query.get("drops", str(number))):
            for key in ("close", "reset", "stall", "drip"):
                query.pop(key, None)
        return start

    def stream(self, sock, query, body):
        if query.get("garbage") == "1":
            while True:
                sock.sendall(os.urandom(4096))
        stall = int(query.get("stall", "-1"))
        # The first body byte count at which the connection closes, resets or drips.
        ends = [(int(query[key]), key) for key in ("close", "reset", "drip") if key in query]
        end, how = min(ends) if ends else (-1, None)
        pause = int(query.get("pause", "-1"))
        pacer = Pacer(query)
        most = int(query.get("piece", "4096"))
        gap = int(query.get("piece_ms", "0")) / 1000.0
        if most < 4096:
            sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        sent = 0
        while True:
            limit = min(most, 4096 if stall < 0 else stall - body.offset)
            if pacer.rate and sent >= pacer.burst:
                limit = min(limit, 1024)
            if limit <= 0:
                hold(sock)
                return
            if pause > sent:
                limit = min(limit, pause - sent)
            piece, _ = body.next_piece(limit)
            if sent < pause <= sent + len(piece):
                sock.sendall(piece)
                sent += len(piece)
                time.sleep(int(query.get("pause_ms", "3000")) / 1000.0)
                continue
            if end >= 0 and sent + len(piece) >= end:
                sock.sendall(piece[: end - sent])
                if how == "reset":
                    reset(sock)
                elif how == "drip":
                    self.drip_forever(sock, body, piece[end - sent :], query)
                return
            pacer.wait(sent)
            sock.sendall(piece)
            sent += len(piece)
            if gap:
                time.sleep(gap)

    @staticmethod
    def drip_forever(sock, body, rest, query):
        while True:
            drip(sock, rest, query)
            rest, _ = body.next_piece(4096)


class Pacer:
    """Holds each piece back until the body bytes before it are due at the chosen rate."""

    def __init__(self, query):
        self.rate = int(query.get("rate", "0"))
        self.burst = int(query.get("burst", "0"))
        self.start = time.monotonic()

    def wait(self, sent):
        if self.rate <= 0 or sent < self.burst:
            return
        delay = self.start + (sent - self.burst) / self.rate - time.monotonic()
        if delay > 0:
            time.sleep(delay)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--file", required=True)
    parser.add_argument("--log", default="/dev/null")
    args = parser.parse_args()
    server = Server(("127.0.0.1", 0), Handler)
    server.log_lock = threading.Lock()  # also guards the two tables below
    server.listeners = {}  # connections so far, by target
    server.resume_at = {}  # where the next connection's audio starts, by target
    server.log_path = args.log
    with open(args.file, "rb") as f:
        server.audio = f.read()
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print("PORT %d" % server.server_address[1], flush=True)
    sys.stdin.read()
    server.shutdown()


if __name__ == "__main__":
    main()
