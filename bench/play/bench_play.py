#!/usr/bin/env python3
"""Plays a 128 kbit/s MP3 stream from a loopback server with orvel-play (null device), mpg123
and mpv, one after another, and reports each one's CPU time (from rusage, and from the
scheduler's clock of its live threads), and peak RSS (orvel-play and mpg123 in turn, three
times: the median run by on-CPU time counts); then the time from the Open command to
the first buffer handed to the device of orvel-play (prebuffering off) and from process start
to the first 4608 bytes of PCM of mpg123 -s, the two in turn, 21 runs each (the medians count).

Then the steady-state cost: the CPU time of a 33 s run less that of a 3 s run, over 30 s, of
orvel-play (null device) and `mpg123 -o dummy`, against the loopback server writing 2048-byte
pieces at 128 kbit/s and against a private icecast2 (when installed). Every round starts the
four runs together, so that all of them meet the same load; the median of the rounds counts.

usage: bench_play.py [--seconds 60] [--bin BUILD/bin] [--rows FILE] [--rounds 3]
                     [--steady-rounds 5] [--steady-only]
A player that is not installed is reported as missing. Needs ffmpeg for the test stream.
--rows appends the results to FILE as table rows (measure, Orvel, reference, ratio;
tab-separated) for scripts/bench.sh.
"""
import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

from icecast_source import IcecastSource

HERE = os.path.dirname(os.path.abspath(__file__))
# Runs of each player for the time to the first audio buffer; the medians count.
FIRST_PCM_RUNS = 21
# What the loopback server writes at a time in the steady-state runs: one MP3 frame of
# 128 kbit/s at 44.1 kHz, as a server that relays its source frame by frame does.
PIECE_BYTES = 418


def start_server(path, packet=2048):
    server = subprocess.Popen([sys.executable, os.path.join(HERE, "paced_server.py"),
                               "--file", path, "--packet", str(packet)], stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, text=True)
    port = int(server.stdout.readline().split()[1])
    return server, "http://127.0.0.1:%d/stream" % port


def on_cpu_seconds(pid):
    """Time on the CPU of the process's live threads, from the scheduler's own clock. rusage
    comes from timer ticks (4 ms at 250 Hz), which rarely see threads that wake for a few
    microseconds at a time, so it cannot tell two players apart at these loads. Threads that
    already ended are missing here (for orvel-play: the connect thread)."""
    total_ns = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/schedstat" % (pid, task)) as stat:
                total_ns += int(stat.read().split()[0])
        except OSError:
            pass
    return total_ns / 1e9


def wake_ups(pid):
    """How often the process's live threads went to sleep and were woken."""
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/status" % (pid, task)) as status:
                for line in status:
                    if line.startswith("voluntary_ctxt_switches:"):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total


def measure(command, seconds, env):
    """Runs command for `seconds` (then SIGTERM); returns (cpu seconds, peak RSS in MiB,
    on-CPU seconds of the live threads, wake-ups of the live threads)."""
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               env=env)
    time.sleep(seconds)
    on_cpu = on_cpu_seconds(process.pid)
    wakes = wake_ups(process.pid)
    # VmHWM starts anew at exec; the rusage peak would include this script's own image.
    peak_kib = 0
    with open("/proc/%d/status" % process.pid) as status:
        for line in status:
            if line.startswith("VmHWM:"):
                peak_kib = int(line.split()[1])
    process.send_signal(signal.SIGTERM)
    deadline = time.monotonic() + 30
    while True:
        pid, _, usage = os.wait4(process.pid, os.WNOHANG)
        if pid:
            break
        if time.monotonic() > deadline:
            process.kill()
            _, _, usage = os.wait4(process.pid, 0)
            break
        time.sleep(0.05)
    process.returncode = 0  # reaped above
    return usage.ru_utime + usage.ru_stime, peak_kib / 1024.0, on_cpu, wakes


def first_pcm_orvel(binary, url, env):
    """From the Open command to the first buffer handed to the sound device, prebuffering off,
    as the program's own probe (ORVEL_RADIO_TRACE_PLAY) marks them on stderr."""
    process = subprocess.run([binary, "--no-prebuffer", "--seconds", "0", url],
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                             env=dict(env, ORVEL_RADIO_TRACE_PLAY="1"))
    marks = {}
    for line in process.stderr.splitlines():
        parts = line.split()
        if len(parts) == 2 and parts[0] in ("open", "first-buffer"):
            marks[parts[0]] = float(parts[1]) / 1000.0
    if "open" not in marks or "first-buffer" not in marks:
        return None
    return marks["first-buffer"] - marks["open"]


def first_pcm_mpg123(url):
    start = time.monotonic()
    process = subprocess.Popen(["mpg123", "-q", "-s", url], stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL)
    got = 0
    while got < 4608:
        chunk = process.stdout.read1(4608 - got) if hasattr(process.stdout, "read1") else \
            process.stdout.read(4608 - got)
        if not chunk:
            break
        got += len(chunk)
    elapsed = time.monotonic() - start
    process.kill()
    process.wait()
    return elapsed


def first_pcm_medians(orvel_play, url, env, runs):
    """Both players in turn, so that both meet the same load on a shared machine; the medians
    in milliseconds (None for a player that gave no result)."""
    orvel, mpg = [], []
    with_mpg123 = shutil.which("mpg123") is not None
    for _ in range(runs):
        first = first_pcm_orvel(orvel_play, url, env)
        if first:
            orvel.append(first)
        if with_mpg123:
            mpg.append(first_pcm_mpg123(url))

    def median_ms(values):
        return 1000 * median(values) if values else None

    return median_ms(orvel), median_ms(mpg)


def median(values):
    return sorted(values)[len(values) // 2]


def steady_cpu(players, url, env, rounds):
    """Per player, the medians over `rounds` of (CPU of a 33 s run - CPU of a 3 s run) / 30 in
    CPU seconds per second of audio, and of the wake-ups per second counted the same way.
    rusage's total is the scheduler's exact clock and includes the threads that already ended;
    the wake-ups are those of the live threads."""
    lengths = (3, 33)
    costs = {name: [] for name, _ in players}
    wakes = {name: [] for name, _ in players}
    for _ in range(rounds):
        runs = {}

        def run(name, command, seconds):
            runs[(name, seconds)] = measure(command + [url], seconds, env)

        threads = [threading.Thread(target=run, args=(name, command, seconds))
                   for name, command in players for seconds in lengths]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        for name, _ in players:
            long_run, short_run = runs[(name, 33)], runs[(name, 3)]
            costs[name].append((long_run[0] - short_run[0]) / 30)
            wakes[name].append((long_run[3] - short_run[3]) / 30)
        print("  round: " + ", ".join("%s %.3f ms/s %.0f wake-ups/s" % (
            name, 1000 * costs[name][-1], wakes[name][-1]) for name, _ in players), flush=True)
    return {name: (median(costs[name]), median(wakes[name])) for name, _ in players}


def measure_steady(orvel_play, mp3, env, rounds, packet, servers):
    """Steady-state cost on the servers named: a list of (server, {player: (CPU seconds per
    second of audio, wake-ups per second)}), empty where a server is missing."""
    players = [("orvel-play", [orvel_play])]
    if shutil.which("mpg123"):
        players.append(("mpg123", ["mpg123", "-q", "-o", "dummy"]))
    results = []
    if "loopback" in servers:
        server, url = start_server(mp3, packet)
        try:
            results.append(("loopback %d-byte pieces" % packet,
                            steady_cpu(players, url, env, rounds)))
        finally:
            server.stdin.close()
            server.wait()
    if "icecast2" in servers:
        with IcecastSource() as icecast:
            cost = steady_cpu(players, icecast.url, env, rounds) if icecast.url else {}
            results.append(("icecast2", cost))
    for server_name, cost in results:
        print("steady state, %s: %s" % (server_name, ", ".join(
            "%s %.3f ms CPU/s, %.0f wake-ups/s" % (name, 1000 * value[0], value[1])
            for name, value in cost.items()) or "n/a"))
    return results


def write_steady_rows(path, results):
    with open(path, "a") as out:
        for server_name, cost in results:
            orvel, mpg = cost.get("orvel-play"), cost.get("mpg123")
            for index, (what, form) in enumerate((("ms CPU per s", "%.3f"),
                                                  ("wake-ups per s", "%.0f"))):
                scale = 1000 if index == 0 else 1
                mine = orvel[index] * scale if orvel else None
                theirs = mpg[index] * scale if mpg else None
                out.write("\t".join((
                    "Steady streaming (33 s - 3 s run) / 30, %s, %s" % (server_name, what),
                    form % mine if mine is not None else "n/a",
                    "mpg123 " + (form % theirs if theirs is not None else "n/a"),
                    "%.2f" % (mine / theirs) if mine is not None and theirs else "n/a")) + "\n")


def write_rows(path, seconds, results, first_orvel, first_mpg):
    def ratio(a, b):
        return "%.2f" % (a / b) if a is not None and b else "n/a"

    def cell(value, form):
        return form % value if value is not None else "n/a"

    orvel = results.get("orvel-play", (None, None, None))
    rows = []
    for name in ("mpg123", "mpv"):
        other = results.get(name)
        if other is None:
            rows.append(("Streaming %d s, CPU s" % seconds, cell(orvel[0], "%.2f"),
                         name + " not installed", "n/a"))
            continue
        rows.append(("Streaming %d s, CPU s" % seconds, cell(orvel[0], "%.2f"),
                     "%s %.2f" % (name, other[0]), ratio(orvel[0], other[0])))
        rows.append(("Streaming %d s, on-CPU s (scheduler clock)" % seconds,
                     cell(orvel[2], "%.3f"), "%s %.3f" % (name, other[2]),
                     ratio(orvel[2], other[2])))
        rows.append(("Streaming %d s, peak RSS MiB" % seconds, cell(orvel[1], "%.1f"),
                     "%s %.1f" % (name, other[1]), ratio(orvel[1], other[1])))
    rows.append(("Open to first audio buffer, ms", cell(first_orvel, "%.2f"),
                 "mpg123 -s %s" % cell(first_mpg, "%.2f"), ratio(first_orvel, first_mpg)))
    with open(path, "a") as out:
        for row in rows:
            out.write("\t".join(row) + "\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--seconds", type=int, default=60)
    parser.add_argument("--bin", default=os.path.join(HERE, "..", "..", "build", "bin"))
    parser.add_argument("--rows")
    parser.add_argument("--rounds", type=int, default=3,
                        help="runs of orvel-play and mpg123, taken in turn; the median counts")
    parser.add_argument("--steady-rounds", type=int, default=5)
    parser.add_argument("--steady-only", action="store_true")
    parser.add_argument("--steady-packet", type=int, default=PIECE_BYTES,
                        help="bytes the loopback server writes at a time in the steady runs")
    parser.add_argument("--steady-servers", default="loopback,icecast2")
    args = parser.parse_args()
    orvel_play = os.path.abspath(os.path.join(args.bin, "orvel-play"))
    folder = tempfile.mkdtemp(prefix="orvel-bench-play-")
    try:
        mp3 = os.path.join(folder, "music.mp3")
        subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i",
                        "aevalsrc='0.4*sin(2*PI*(220+110*sin(t))*t)':s=44100:d=30", "-ac", "2",
                        "-c:a", "libmp3lame", "-b:a", "128k", mp3], check=True)
        env = dict(os.environ, ORVEL_RADIO_AUDIO="null", no_proxy="127.0.0.1")
        if not args.steady_only:
            measure_players(args, orvel_play, mp3, env)
        steady = measure_steady(orvel_play, mp3, env, args.steady_rounds, args.steady_packet,
                                args.steady_servers.split(","))
        if args.rows:
            write_steady_rows(args.rows, steady)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def measure_players(args, orvel_play, mp3, env):
    """The 60 s runs one after another and the time to the first audio buffer."""
    results = {}
    server, url = start_server(mp3)
    try:
        players = [
            ("orvel-play", [orvel_play, url]),
            ("mpg123", ["mpg123", "-q", "-o", "dummy", url]),
            ("mpv", ["mpv", "--no-video", "--ao=null", url]),
        ]
        print("%-11s %10s %8s %10s %10s" % ("player", "CPU s", "CPU %", "peak MiB", "on-CPU s"))
        # CPU time on a shared machine varies by a tenth or more from run to run: the two close
        # players run in turn, several times, and each one's median run counts.
        runs = {}
        for round_number in range(args.rounds):
            for name, command in players:
                if name == "mpv" and round_number > 0:
                    continue
                if shutil.which(command[0]) is None and not os.path.exists(command[0]):
                    if round_number == 0:
                        print("%-11s missing" % name)
                    continue
                cpu, rss, on_cpu, _ = measure(command, args.seconds, env)
                runs.setdefault(name, []).append((cpu, rss, on_cpu))
                print("%-11s %10.2f %8.2f %10.1f %10.3f" %
                      (name, cpu, 100.0 * cpu / args.seconds, rss, on_cpu), flush=True)
        for name, measured in runs.items():
            by_cpu = sorted(measured, key=lambda run: run[2])
            results[name] = by_cpu[len(by_cpu) // 2]
        first_orvel, first_mpg = first_pcm_medians(orvel_play, url, env, FIRST_PCM_RUNS)
        if first_orvel is not None:
            print("first PCM, median of %d: orvel-play %.2f ms (open command to first buffer "
                  "queued)" % (FIRST_PCM_RUNS, first_orvel))
        if first_mpg is not None:
            print("first PCM, median of %d: mpg123 -s %.2f ms (process start to 4608 bytes)"
                  % (FIRST_PCM_RUNS, first_mpg))
        if args.rows:
            write_rows(args.rows, args.seconds, results, first_orvel, first_mpg)
    finally:
        server.stdin.close()
        server.wait()


if __name__ == "__main__":
    main()
