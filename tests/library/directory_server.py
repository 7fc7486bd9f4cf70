#!/usr/bin/env python3
"""Loopback stand-in for the community station directory (radio-browser) for the tests.

Answers /json/stations/search, /json/stations/byuuid/UUID and /json/url/UUID in the directory's
JSON shape on 127.0.0.1 and prints "PORT <n>" once it listens. It ends when its standard input
closes or when it is killed.

The first path segment chooses the behaviour, so that a base URL names a server's mood:
  /ok/...       awkward but valid data (the default for any other segment)
  /big/...      5,000 stations
  /slow/...     answers nothing for 60 s
  /500/...      an HTTP 500
  /invalid/...  a body that is no JSON
  /endless/...  a JSON list that never ends
Every request's path and User-Agent are appended to the --log file, one line each.
"""
import argparse
import http.server
import json
import socketserver
import sys
import threading
import time
import urllib.parse


def station(number, name, url, **fields):
    record = {
        "changeuuid": "c0000000-0000-4000-8000-%012d" % number,
        "stationuuid": "50000000-0000-4000-8000-%012d" % number,
        "serveruuid": None,
        "name": name,
        "url": url,
        "url_resolved": url,
        "homepage": "https://example.org/%d" % number,
        "favicon": "",
        "tags": "jazz",
        "country": "Testland",
        "countrycode": "TL",
        "iso_3166_2": None,
        "state": "",
        "language": "english",
        "languagecodes": "en",
        "votes": 1000 - number,
        "lastchangetime": "2024-01-01 00:00:00",
        "lastchangetime_iso8601": "2024-01-01T00:00:00Z",
        "codec": "MP3",
        "bitrate": 128,
        "hls": 0,
        "lastcheckok": 1,
        "lastchecktime": "2024-01-01 00:00:00",
        "clickcount": 10,
        "clicktrend": 0,
        "has_extended_info": False,
    }
    record.update(fields)
    return record


def awkward_stations():
    return [
        station(1, "Jazz Lounge", "http://127.0.0.1:9/jazz-lounge", tags="jazz,lounge",
                countrycode="DE", language="german,english", bitrate=192),
        station(2, "Радио Джаз ♫", "http://127.0.0.1:9/radio-jazz", codec="AAC", bitrate=0),
        station(3, "إذاعة الجاز", "https://127.0.0.1:9/arabic-jazz", countrycode="EG",
                bitrate=999999999),
        station(4, "Jazz\nwith\ta break", "http://127.0.0.1:9/break", bitrate="64",
                codec="MP3|AAC"),
        station(5, "Jazz without URL", "", url_resolved=""),
        station(6, "Jazz over FTP", "ftp://127.0.0.1/jazz"),
        station(7, "Jazz Lounge again", "http://127.0.0.1:9/jazz-lounge"),
        station(1, "Jazz Lounge copy", "http://127.0.0.1:9/other"),
        station(8, "Jazz HLS", "http://127.0.0.1:9/hls/playlist.m3u8", hls=1, codec="AAC+",
                bitrate=-5),
        station(9, None, "http://127.0.0.1:9/nameless", tags=None, countrycode=7),
        station(10, "Jazz resolved", "http://127.0.0.1:9/playlist.pls",
                url_resolved="http://127.0.0.1:9/resolved"),
        station(11, "Rock Classics", "http://127.0.0.1:9/rock", tags="rock"),
    ]


def big_stations():
    return [station(100 + n, "Jazz %d" % n, "http://127.0.0.1:9/big/%d" % n)
            for n in range(5000)]


def matches(record, query):
    name = query.get("name", [""])[0].lower()
    tag = query.get("tag", [""])[0].lower()
    country = query.get("countrycode", [""])[0].upper()
    codec = query.get("codec", [""])[0].lower()
    language = query.get("language", [""])[0].lower()
    return ((not name or name in str(record["name"] or "").lower()) and
            (not language or language in record["language"]) and
            (not tag or tag in str(record["tags"] or "").lower()) and
            (not country or country == record["countrycode"]) and
            (not codec or codec == str(record["codec"]).lower()))


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        with self.server.log_lock, open(self.server.log_path, "a") as log:
            log.write("%s %s\n" % (self.path, self.headers.get("User-Agent", "")))
        url = urllib.parse.urlsplit(self.path)
        segments = url.path.split("/")
        mode = segments[1] if len(segments) > 1 else ""
        rest = "/" + "/".join(segments[2:])
        if mode == "slow":
            time.sleep(60)
            return
        if mode == "500":
            self.answer(500, b"Internal Server Error")
        elif mode == "invalid":
            self.answer(200, b"[{\"stationuuid\": \"broken\", \"name\": ")
        elif mode == "endless":
            self.endless()
        else:
            stations = big_stations() if mode == "big" else awkward_stations()
            self.answer(200, json.dumps(self.route(rest, url.query, stations)).encode())

    def route(self, path, query_text, stations):
        query = urllib.parse.parse_qs(query_text)
        if path.startswith("/json/url/"):
            uuid = path[len("/json/url/"):]
            known = any(record["stationuuid"] == uuid for record in stations)
            return {"ok": known, "message": "retrieved station url", "stationuuid": uuid}
        if path.startswith("/json/stations/byuuid/"):
            uuid = path[len("/json/stations/byuuid/"):]
            return [record for record in stations if record["stationuuid"] == uuid][:1]
        found = [record for record in stations if matches(record, query)]
        if query.get("reverse", ["false"])[0] == "true":
            found.sort(key=lambda record: -record["votes"])
        return found[:int(query.get("limit", ["100000"])[0])]

    def answer(self, status, body):
        self.send_response(status)
        self.send_header("Content-Type", "application/json; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def endless(self):
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.end_headers()
        piece = (json.dumps(station(1, "Endless", "http://127.0.0.1:9/e")) + ",").encode()
        self.wfile.write(b"[")
        try:
            while True:
                self.wfile.write(piece * 64)
        except OSError:
            pass


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--log", default="/dev/null")
    arguments = parser.parse_args()
    server = Server(("127.0.0.1", 0), Handler)
    server.log_path = arguments.log
    server.log_lock = threading.Lock()
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print("PORT %d" % server.server_address[1], flush=True)
    sys.stdin.read()


if __name__ == "__main__":
    main()
