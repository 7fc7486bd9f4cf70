#!/usr/bin/env python3
"""Loopback MP3 stream at a fixed bit rate, for the playback benchmark.

Serves --file in a loop on 127.0.0.1 as an HTTP audio/mpeg stream: the first --burst bytes at
once (as icecast2 does for a new listener), then --rate bytes per second in packets of
--packet bytes. Prints "PORT <n>" and
runs until its standard input closes or it is killed.
"""
import argparse
import socket
import socketserver
import sys
import threading
import time


def serve(args):
    audio = open(args.file, "rb").read()

    class Handler(socketserver.BaseRequestHandler):
        def handle(self):
            request = b""
            while b"\r\n\r\n" not in request:
                piece = self.request.recv(4096)
                if not piece:
                    return
                request += piece
            self.request.sendall(b"HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n"
                                 b"icy-name: Bench Radio\r\n\r\n")
            position = 0
            sent = 0
            start = time.monotonic()
            try:
                while True:
                    # Whole packets, as a streaming server sends them, not a trickle.
                    due = args.burst + (time.monotonic() - start) * args.rate
                    if sent + args.packet > due:
                        time.sleep((sent + args.packet - due) / args.rate)
                        continue
                    n = min(args.packet, len(audio) - position)
                    self.request.sendall(audio[position:position + n])
                    position = (position + n) % len(audio)
                    sent += n
            except OSError:
                return

    class Server(socketserver.ThreadingTCPServer):
        daemon_threads = True
        allow_reuse_address = True

    server = Server(("127.0.0.1", 0), Handler)
    print("PORT %d" % server.server_address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    sys.stdin.read()
    server.shutdown()


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--file", required=True)
    parser.add_argument("--rate", type=int, default=16000)
    parser.add_argument("--burst", type=int, default=65536)
    parser.add_argument("--packet", type=int, default=2048)
    serve(parser.parse_args())
