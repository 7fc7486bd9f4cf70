#!/usr/bin/env python3
"""A private icecast2 on a free loopback port, fed by ffmpeg with a generated 128 kbit/s MP3 in
real time, for the playback benchmark. icecast2 refuses to run as root, so under root it is
started as its packaged user. Use as a context manager; `url` is the mount's address, or None
when icecast2 or ffmpeg is missing or the mount did not come up.
"""
import os
import shutil
import signal
import socket
import subprocess
import tempfile
import time
import urllib.error
import urllib.request

MOUNT = "/bench.mp3"
SOURCE_PASSWORD = "bench-source"


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def config(folder, port):
    return ("<icecast><location>loopback</location><admin>bench@localhost</admin>"
            "<limits><clients>20</clients><sources>2</sources><burst-size>65535</burst-size>"
            "<source-timeout>10</source-timeout></limits>"
            "<authentication><source-password>%s</source-password><admin-user>admin</admin-user>"
            "<admin-password>bench-admin</admin-password></authentication>"
            "<hostname>127.0.0.1</hostname><listen-socket><port>%d</port>"
            "<bind-address>127.0.0.1</bind-address></listen-socket>"
            "<mount type=\"normal\"><mount-name>%s</mount-name></mount><fileserve>0</fileserve>"
            "<paths><basedir>%s</basedir><logdir>%s</logdir>"
            "<webroot>/usr/share/icecast2/web</webroot>"
            "<adminroot>/usr/share/icecast2/admin</adminroot></paths>"
            "<logging><accesslog>access.log</accesslog><errorlog>error.log</errorlog>"
            "<loglevel>1</loglevel></logging><security><chroot>0</chroot></security></icecast>\n"
            % (SOURCE_PASSWORD, port, MOUNT, folder, folder))


class IcecastSource:
    def __init__(self):
        self.url = None
        self._folder = None
        self._processes = []

    def __enter__(self):
        if shutil.which("icecast2") is None or shutil.which("ffmpeg") is None:
            return self
        self._folder = tempfile.mkdtemp(prefix="orvel-bench-icecast-")
        # icecast2 runs as its own user: it must read the folder and write its logs there.
        os.chmod(self._folder, 0o777)
        port = free_port()
        path = os.path.join(self._folder, "icecast.xml")
        with open(path, "w") as out:
            out.write(config(self._folder, port))
        os.chmod(path, 0o644)
        command = ["icecast2", "-c", path]
        if os.geteuid() == 0:
            command = ["setpriv", "--reuid=icecast2", "--regid=icecast", "--init-groups",
                       "--pdeathsig", "TERM"] + command
        self._start(command)
        target = "icecast://source:%s@127.0.0.1:%d%s" % (SOURCE_PASSWORD, port, MOUNT)
        source = ["ffmpeg", "-nostdin", "-v", "error", "-re", "-f", "lavfi", "-i",
                  "aevalsrc='0.4*sin(2*PI*(220+110*sin(t))*t)':s=44100", "-ac", "2",
                  "-c:a", "libmp3lame", "-b:a", "128k", "-content_type", "audio/mpeg",
                  "-f", "mp3", target]
        url = "http://127.0.0.1:%d%s" % (port, MOUNT)
        for _ in range(100):
            if self._answers(url):
                # A full burst is queued once the source has run for a few seconds.
                time.sleep(5)
                self.url = url
                break
            up = self._answers("http://127.0.0.1:%d/" % port, any_status=True)
            if len(self._processes) == 1 and up:
                self._start(source)
            time.sleep(0.1)
        return self

    def __exit__(self, *_):
        for process in reversed(self._processes):
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        if self._folder:
            shutil.rmtree(self._folder, ignore_errors=True)

    def _start(self, command):
        self._processes.append(subprocess.Popen(command, stdout=subprocess.DEVNULL,
                                                stderr=subprocess.DEVNULL))

    @staticmethod
    def _answers(url, any_status=False):
        opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))
        try:
            with opener.open(url, timeout=1) as response:
                return response.status == 200
        except urllib.error.HTTPError:
            return any_status
        except OSError:
            return False
