#!/bin/sh
# Soak: SOAK_MINUTES (default 30) of playback and recording with orvel-play against a private
# icecast2 on loopback. A source written here feeds the mount with a known MP3 file in a loop at
# its bit rate and changes the title every 10 s. At the end it checks:
#   - RSS of orvel-play at the end within 2 % of its RSS after the first minute,
#   - every title the source set (up to 15 s before the end) printed by orvel-play,
#   - the recording is exactly the looped file's bytes from where recording began.
# Usage: soak.sh BUILD_DIR     (SOAK_MINUTES=2 for a short try). Exit 0 when every check passes.
set -eu
build=${1:?usage: soak.sh BUILD_DIR}
minutes=${SOAK_MINUTES:-30}
play=$(cd "$build" && pwd)/bin/orvel-play
[ -x "$play" ] || { echo "soak: $play is missing" >&2; exit 2; }
for tool in icecast2 ffmpeg python3; do
  command -v "$tool" >/dev/null || { echo "soak: $tool is not installed" >&2; exit 2; }
done
work=$(mktemp -d /tmp/orvel-soak-XXXXXX)
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT INT TERM

# One minute of CBR frames with no tag or Xing header, so the file loops byte for byte.
ffmpeg -nostdin -v error -f lavfi \
  -i "aevalsrc='0.4*sin(2*PI*(220+110*sin(t))*t)':s=44100:d=60" -ac 2 \
  -c:a libmp3lame -b:a 128k -write_xing 0 -id3v2_version 0 "$work/loop.mp3"

SOAK_WORK=$work SOAK_PLAY=$play SOAK_MINUTES=$minutes python3 - <<'EOF'
import base64, os, signal, socket, subprocess, sys, threading, time, urllib.parse, urllib.request

work, play, minutes = os.environ["SOAK_WORK"], os.environ["SOAK_PLAY"], float(os.environ["SOAK_MINUTES"])
source_password, admin_password, mount = "soak-source", "soak-admin", "/soak.mp3"
rate = 16000  # bytes per second of a 128 kbit/s stream


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


port = free_port()
os.makedirs(work + "/log", exist_ok=True)
os.chmod(work + "/log", 0o777)
with open(work + "/icecast.xml", "w") as f:
    f.write(f"""<icecast><location>loopback</location><admin>soak@localhost</admin>
<limits><clients>4</clients><sources>2</sources><burst-size>65535</burst-size>
<source-timeout>10</source-timeout></limits>
<authentication><source-password>{source_password}</source-password><admin-user>admin</admin-user>
<admin-password>{admin_password}</admin-password></authentication><hostname>127.0.0.1</hostname>
<listen-socket><port>{port}</port><bind-address>127.0.0.1</bind-address></listen-socket>
<mount type="normal"><mount-name>{mount}</mount-name><charset>UTF-8</charset></mount>
<paths><basedir>{work}</basedir><logdir>{work}/log</logdir><webroot>/usr/share/icecast2/web</webroot>
<adminroot>/usr/share/icecast2/admin</adminroot></paths><logging><accesslog>access.log</accesslog>
<errorlog>error.log</errorlog><loglevel>2</loglevel></logging><security><chroot>0</chroot></security>
</icecast>""")
command = ["icecast2", "-c", work + "/icecast.xml"]
if os.geteuid() == 0:  # icecast2 refuses to run as root
    command = ["setpriv", "--reuid=icecast2", "--regid=icecast", "--init-groups",
               "--pdeathsig", "TERM"] + command
icecast = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
audio = open(work + "/loop.mp3", "rb").read()
stop = threading.Event()


def connect_source():
    for _ in range(100):
        try:
            s = socket.create_connection(("127.0.0.1", port))
            auth = base64.b64encode(("source:" + source_password).encode()).decode()
            s.sendall((f"SOURCE {mount} HTTP/1.0\r\nAuthorization: Basic {auth}\r\n"
                       "Content-Type: audio/mpeg\r\nice-name: Soak Radio\r\n\r\n").encode())
            if b" 200" in s.recv(1024):
                return s
            s.close()
        except OSError:
            pass
        time.sleep(0.1)
    sys.exit("soak: icecast2 did not take the source")


def feed(s):
    """The file in a loop at its bit rate, in packets of 1/8 s."""
    start, sent, packet = time.monotonic(), 0, rate // 8
    doubled = audio + audio
    while not stop.is_set():
        due = sent + packet - (time.monotonic() - start) * rate
        if due > 0:
            time.sleep(due / rate)
        offset = sent % len(audio)
        piece = doubled[offset:offset + packet]
        try:
            s.sendall(piece)
        except OSError:
            return
        sent += packet


def set_title(title):
    url = (f"http://127.0.0.1:{port}/admin/metadata?mount={mount}&mode=updinfo&song="
           + urllib.parse.quote(title))
    request = urllib.request.Request(url)
    request.add_header("Authorization", "Basic " + base64.b64encode(
        ("admin:" + admin_password).encode()).decode())
    urllib.request.urlopen(request, timeout=5).read()


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


source = connect_source()
threading.Thread(target=feed, args=(source,), daemon=True).start()
time.sleep(2)  # the mount fills icecast2's burst
home = work + "/home"
os.makedirs(home)
env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/.config", ORVEL_RADIO_AUDIO="null",
           no_proxy="127.0.0.1")
player = subprocess.Popen([play, "--record", f"http://127.0.0.1:{port}{mount}"],
                          stdout=subprocess.PIPE, text=True, env=env)
lines = []
reader = threading.Thread(target=lambda: [lines.append(l.rstrip("\n")) for l in player.stdout])
reader.start()
deadline = time.monotonic() + 30
while not any(l.startswith("recording ") for l in lines) and time.monotonic() < deadline:
    time.sleep(0.1)
recording = next((l[len("recording "):] for l in lines if l.startswith("recording ")), None)
if recording is None:
    player.kill()
    sys.exit("soak: playback or recording did not start:\n" + "\n".join(lines))

started = time.monotonic()
end = started + minutes * 60
titles, rss_first, n = [], None, 0
while time.monotonic() < end:
    if rss_first is None and time.monotonic() - started >= 60:
        rss_first = rss_kib(player.pid)
    if end - time.monotonic() > 15:
        n += 1
        titles.append("Soak title %d" % n)
        set_title(titles[-1])
    time.sleep(min(10, max(0, end - time.monotonic())))
rss_end = rss_kib(player.pid)
cpu = open(f"/proc/{player.pid}/stat").read().split()
cpu_seconds = (int(cpu[13]) + int(cpu[14])) / os.sysconf("SC_CLK_TCK")
player.send_signal(signal.SIGTERM)
code = player.wait(timeout=30)
reader.join()
stop.set()
icecast.terminate()
icecast.wait()

failures = []
if code != 0:
    failures.append("orvel-play exited %d" % code)
if any(l.startswith("status 42") for l in lines):
    failures.append("the connection was interrupted")
seen = {l[len("title "):] for l in lines if l.startswith("title ")}
missing = [t for t in titles if t not in seen]
if missing:
    failures.append("titles never shown: " + ", ".join(missing))
if rss_first is None:
    rss_first = rss_end  # runs under a minute compare the end with itself
growth = 100.0 * (rss_end - rss_first) / rss_first
if abs(growth) > 2.0:
    failures.append("RSS moved %.2f %%" % growth)
data = open(recording, "rb").read()
looped = audio * 3
offset = looped.find(data[:4096]) if len(data) >= 4096 else -1
matches = offset >= 0
if matches:
    for start in range(0, len(data), len(audio)):
        piece = data[start:start + len(audio)]
        at = (offset + start) % len(audio)
        if looped[at:at + len(piece)] != piece:
            matches = False
            break
if not matches:
    failures.append("the recording is not the stream's audio")

print("soak: %.1f min, %d titles set, %d shown, RSS after 1 min %d KiB, at end %d KiB (%+.2f %%)"
      % (minutes, len(titles), len(seen), rss_first, rss_end, growth))
print("soak: CPU %.1f s (%.2f %%), recording %d bytes (%.1f s of audio), %s"
      % (cpu_seconds, 100 * cpu_seconds / (time.monotonic() - started + 1e-9), len(data),
         len(data) / rate, "identical to the stream" if matches else "DIFFERS"))
if failures:
    print("soak: FAILED: " + "; ".join(failures))
    sys.exit(1)
print("soak: passed")
EOF
