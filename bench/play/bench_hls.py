#!/usr/bin/env python3
"""The CPU cost of HLS against ICY: orvel-play (null device) plays a live 128 kbit/s AAC stream
in 2-second MPEG-TS segments from the loopback HLS server of the engine tests, and the same
encoder's ADTS output as a plain 128 kbit/s HTTP stream from the paced server, both runs of a
round started together so that they meet the same load. Each run's CPU time over --seconds
(rusage, and the scheduler's clock of its live threads); the median of the rounds counts.

usage: bench_hls.py [--seconds 60] [--bin BUILD/bin] [--rows FILE] [--rounds 3]
--rows appends the results to FILE as table rows (measure, HLS, ICY, ratio; tab-separated) for
scripts/bench.sh. Needs ffmpeg.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import threading

from bench_play import measure, start_server

HERE = os.path.dirname(os.path.abspath(__file__))
HLS_SERVER = os.path.join(HERE, "..", "..", "tests", "engine", "hls_server.py")


def start_hls_server():
    server = subprocess.Popen([sys.executable, HLS_SERVER, "--streams", "ts"],
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    port = int(server.stdout.readline().split()[1])
    return server, "http://127.0.0.1:%d/ts/index.m3u8" % port


def make_adts(path, seconds):
    subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                    "sine=frequency=440:sample_rate=44100:duration=%d" % seconds, "-ac", "2",
                    "-c:a", "aac", "-b:a", "128k", "-f", "adts", path], check=True)


def round_of(binary, urls, seconds, env):
    results = [None] * len(urls)

    def run(i):
        results[i] = measure([binary, "--no-prebuffer", urls[i]], seconds, env)

    threads = [threading.Thread(target=run, args=(i,)) for i in range(len(urls))]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    return results


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--seconds", type=int, default=60)
    parser.add_argument("--bin", default=os.path.join(HERE, "..", "..", "build", "bin"))
    parser.add_argument("--rows")
    parser.add_argument("--rounds", type=int, default=3)
    args = parser.parse_args()
    binary = os.path.join(args.bin, "orvel-play")
    env = dict(os.environ, ORVEL_RADIO_AUDIO="null", no_proxy="127.0.0.1")
    with tempfile.TemporaryDirectory() as folder:
        adts = os.path.join(folder, "tone.aac")
        make_adts(adts, args.seconds + 30)
        icy, icy_url = start_server(adts)
        hls, hls_url = start_hls_server()
        try:
            rounds = [round_of(binary, [hls_url, icy_url], args.seconds, env)
                      for _ in range(args.rounds)]
        finally:
            for server in (icy, hls):
                server.stdin.close()
                server.terminate()
                server.wait()
    rows = []
    for name, index in (("CPU s (rusage)", 0), ("CPU s (on-CPU, live threads)", 2),
                        ("wake-ups", 3)):
        hls_value = statistics.median(r[0][index] for r in rounds)
        icy_value = statistics.median(r[1][index] for r in rounds)
        ratio = hls_value / icy_value if icy_value else 0
        rows.append(("HLS TS vs ICY, %d s: %s" % (args.seconds, name),
                     "%.3f" % hls_value, "%.3f" % icy_value, "%.2f" % ratio))
    for row in rows:
        print("%-48s HLS %-8s ICY %-8s ratio %s" % row)
    if args.rows:
        with open(args.rows, "a") as out:
            for row in rows:
                out.write("\t".join(row) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
