#!/usr/bin/env python3
"""Loopback radio-stream server for the engine tests.

Serves an MP3 file in a loop on 127.0.0.1 and prints "PORT <n>" once it listens. It ends when
its standard input closes (the test that started it went away) or when it is killed.

The request's query chooses the behaviour:
  mode=http|icy|icy401|404|redirect|silent   answer kind (default http); silent never answers
  metaint=N          insert a metadata block after every N audio bytes and announce it
  metaint_header=V   announce V as icy-metaint instead of N (the insertion still uses N)
  titles=A|B         titles of successive blocks (default "Song 1", "Song 2", ...)
  title_len=N        every title is N letters long
  noterm=1           metadata blocks hold an unterminated StreamTitle and no padding
  stall=N            stop sending after N audio bytes and keep the connection open
  close=N            close the connection after N body bytes (metadata included)
  split=1            send the answer's first line, pause, then the rest
  junk=N             add N extra header lines
  to=PATH            redirect target (mode=redirect)
  hops=N             with mode=redirect: N redirects in a row, then the stream
  type=T             Content-Type (default audio/mpeg; "none" leaves it out)
Every request's head is appended to the --log file.
"""
import argparse
import socket
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

    def __init__(self, audio, query):
        self.audio = audio
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
        size = min(limit, len(self.audio) - self.offset % len(self.audio), 4096)
        if self.metaint:
            size = min(size, self.metaint - self.offset % self.metaint)
        start = self.offset % len(self.audio)
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


def hold(sock):
    sock.settimeout(HOLD_SECONDS)
    try:
        while sock.recv(4096):
            pass
    except OSError:
        pass


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
        if query.get("mode") == "silent":
            hold(sock)
            return
        answer = head_for(query).encode("utf-8")
        try:
            if query.get("split") == "1":
                first = answer.index(b"\r\n") + 2
                sock.sendall(answer[:first])
                time.sleep(0.3)
                answer = answer[first:]
            sock.sendall(answer)
            if query.get("mode", "http") in ("http", "icy") or query.get("hops") == "0":
                self.stream(sock, query)
        except OSError:
            pass

    def stream(self, sock, query):
        body = Body(self.server.audio, query)
        stall = int(query.get("stall", "-1"))
        close = int(query.get("close", "-1"))
        sent = 0
        while True:
            limit = 4096 if stall < 0 else stall - body.offset
            if limit <= 0:
                hold(sock)
                return
            piece, _ = body.next_piece(limit)
            if close >= 0 and sent + len(piece) >= close:
                sock.sendall(piece[: close - sent])
                return
            sock.sendall(piece)
            sent += len(piece)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--file", required=True)
    parser.add_argument("--log", default="/dev/null")
    args = parser.parse_args()
    server = Server(("127.0.0.1", 0), Handler)
    server.log_lock = threading.Lock()
    server.log_path = args.log
    with open(args.file, "rb") as f:
        server.audio = f.read()
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print("PORT %d" % server.server_address[1], flush=True)
    sys.stdin.read()
    server.shutdown()


if __name__ == "__main__":
    main()
