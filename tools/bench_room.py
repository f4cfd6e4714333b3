#!/usr/bin/env python3
"""Live-room cost: the whole client in a studio room against the engine-only driver.

The client (tests/room/bench_room: main window, demo service sign-in, the first task's room
with its chat page, one looping 1280x720 30 fps clip as the scene) streams to a local nginx
RTMP server for the given time; then the engine-only driver (tests/frontend/bench_stream)
streams the same clip with the same settings. Prints for each the CPU seconds per minute of
stream and the peak memory of the whole process tree (the client's browser processes
included), dropped and render-lagged frames, the ratio client/engine-only, and the time from
pressing the task's enter button to the first stream bytes at the server.

    python3 tools/bench_room.py [--seconds 60] [--kbps 2500]

Needs what scripts/setup installs and the project's build (build/, or ORB_BUILD_DIR).
"""
import argparse
import json
import os
import queue
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from bench_stream import (BUILD, ROOT, free_port, make_clip, ratio,  # noqa: E402
                          start_display, wait_listening)

ROOM_DRIVER = os.path.join(BUILD, "tests", "room", "bench_room")
ENGINE_DRIVER = os.path.join(BUILD, "tests", "frontend", "bench_stream")
TICK = os.sysconf("SC_CLK_TCK")
PAGE = os.sysconf("SC_PAGE_SIZE")
SAMPLE_S = 0.5
CPU_TARGET = 1.15
RSS_TARGET_MB = 600


def start_nginx(work):
    """nginx with RTMP and its statistics page, configured as the tests configure it."""
    port, stat_port = free_port(), free_port()
    for sub in ("body", "proxy", "fastcgi", "uwsgi", "scgi", "logs"):
        os.makedirs(os.path.join(work, sub), exist_ok=True)
    conf = os.path.join(work, "nginx.conf")
    with open(conf, "w") as f:
        f.write(
            "load_module /usr/lib/nginx/modules/ngx_rtmp_module.so;\n"
            "daemon off;\nmaster_process off;\n"
            f"pid {work}/nginx.pid;\nerror_log {work}/error.log warn;\n"
            "events { worker_connections 64; }\n"
            f"rtmp {{ server {{ listen 127.0.0.1:{port}; chunk_size 4096;\n"
            "  application live { live on; record off; } } }\n"
            f"http {{ access_log off; client_body_temp_path {work}/body;\n"
            f"  proxy_temp_path {work}/proxy; fastcgi_temp_path {work}/fastcgi;\n"
            f"  uwsgi_temp_path {work}/uwsgi; scgi_temp_path {work}/scgi;\n"
            f"  server {{ listen 127.0.0.1:{stat_port};\n"
            "    location /stat { rtmp_stat all; } } }\n")
    proc = subprocess.Popen(["nginx", "-p", work, "-c", conf, "-e", f"{work}/error.log"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if not wait_listening(port, proc) or not wait_listening(stat_port, proc):
        proc.kill()
        sys.exit("nginx did not start")
    return proc, port, f"http://127.0.0.1:{stat_port}/stat"


def start_demo_service(rtmp_port, stat_url):
    # Its standard input stays our pipe: the service ends when we do.
    proc = subprocess.Popen([sys.executable, os.path.join(ROOT, "tools", "demo_service.py"),
                             "--port", "0", "--rtmp-port", str(rtmp_port),
                             "--rtmp-stat", stat_url],
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True)
    line = proc.stdout.readline().strip()
    if not line.isdigit():
        proc.kill()
        sys.exit("the demo service did not start")
    return proc, f"http://127.0.0.1:{line}/"


def isolated_env(work, name):
    home = os.path.join(work, name)
    os.makedirs(os.path.join(home, "runtime"), mode=0o700, exist_ok=True)
    env = dict(os.environ, HOME=home, XDG_DATA_HOME=f"{home}/data",
               XDG_CONFIG_HOME=f"{home}/config", XDG_CACHE_HOME=f"{home}/cache",
               XDG_RUNTIME_DIR=f"{home}/runtime", LANG="C.UTF-8")
    # The browser's sandbox refuses to run as root; without a GPU its GPU process only warns.
    if os.geteuid() == 0:
        env.setdefault("QTWEBENGINE_DISABLE_SANDBOX", "1")
    env.setdefault("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu")
    return env


class Tree:
    """A process and its descendants as /proc shows them."""

    def __init__(self, root):
        self.root = root
        self.peak_rss = 0
        self.peak_pss = 0
        self.peak_count = 0

    def pids(self):
        children = {}
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open(f"/proc/{entry}/stat") as f:
                    ppid = int(f.read().rsplit(")", 1)[1].split()[1])
            except (OSError, IndexError, ValueError):
                continue
            children.setdefault(ppid, []).append(int(entry))
        found, todo = [], [self.root]
        while todo:
            pid = todo.pop()
            found.append(pid)
            todo.extend(children.get(pid, []))
        return found

    def cpu(self):
        """CPU seconds of the living members, with what they reaped of their exited children."""
        total = 0
        for pid in self.pids():
            try:
                with open(f"/proc/{pid}/stat") as f:
                    fields = f.read().rsplit(")", 1)[1].split()
            except OSError:
                continue
            total += sum(int(fields[i]) for i in (11, 12, 13, 14))  # utime stime cutime cstime
        return total / TICK

    def sample(self):
        rss = pss = 0
        pids = self.pids()
        for pid in pids:
            try:
                with open(f"/proc/{pid}/statm") as f:
                    rss += int(f.read().split()[1]) * PAGE
                with open(f"/proc/{pid}/smaps_rollup") as f:
                    for line in f:
                        if line.startswith("Pss:"):
                            pss += int(line.split()[1]) * 1024
                            break
            except (OSError, IndexError, ValueError):
                continue
        self.peak_rss = max(self.peak_rss, rss)
        self.peak_pss = max(self.peak_pss, pss)
        self.peak_count = max(self.peak_count, len(pids))


class FirstBytes(threading.Thread):
    """Polls the server's statistics page; remembers when each stream first had bytes in."""

    def __init__(self, stat_url):
        super().__init__(daemon=True)
        self.url = stat_url
        self.seen = {}
        self.sizes = {}  # the video size each stream announced
        self.done = threading.Event()

    def run(self):
        while not self.done.is_set():
            try:
                with urllib.request.urlopen(self.url, timeout=2) as reply:
                    tree = ElementTree.fromstring(reply.read())
            except (OSError, ElementTree.ParseError):
                tree = None
            now = time.time()
            for stream in tree.iter("stream") if tree is not None else []:
                name = stream.findtext("name", "")
                if int(stream.findtext("bytes_in", "0") or 0) > 0 and name not in self.seen:
                    self.seen[name] = now
                width = stream.findtext("meta/video/width")
                if width:
                    self.sizes[name] = f"{width}x{stream.findtext('meta/video/height')}"
            self.done.wait(0.05)


def run_sampled(cmd, env, log_path, timeout, on_line=None):
    """Runs `cmd`, sampling its process tree; returns (lines, tree, rusage, status)."""
    log = open(log_path, "w")
    proc = subprocess.Popen(cmd, env=env, stdout=subprocess.PIPE, stderr=log, text=True)
    tree = Tree(proc.pid)
    lines = queue.Queue()

    def read():
        for line in proc.stdout:
            if on_line:
                on_line(line, tree)
            lines.put(line)

    reader = threading.Thread(target=read, daemon=True)
    reader.start()
    deadline = time.time() + timeout
    while True:
        pid, status, usage = os.wait4(proc.pid, os.WNOHANG)
        if pid:
            break
        if time.time() > deadline:
            proc.kill()
            pid, status, usage = os.wait4(proc.pid, 0)
            break
        tree.sample()
        time.sleep(SAMPLE_S)
    proc.returncode = os.waitstatus_to_exitcode(status)
    reader.join(5)
    log.close()
    return list(lines.queue), tree, usage, proc.returncode


def tail(path):
    with open(path, errors="replace") as f:
        return f.read()[-3000:]


def run_client(work, url, clip, seconds, kbps):
    events = {}

    def on_line(line, tree):
        try:
            event = json.loads(line)
        except ValueError:
            return
        if event.get("event") in ("window", "stopping"):
            event["tree_cpu"] = tree.cpu()
        events[event.get("event")] = event

    log = os.path.join(work, "client.log")
    _, tree, usage, status = run_sampled(
        [ROOM_DRIVER, url, clip, str(seconds), str(kbps)], isolated_env(work, "client"), log,
        seconds + 300, on_line)
    if "result" not in events:
        sys.exit(f"the client driver failed with {status}:\n{tail(log)}")
    if status != 0:
        print(f"(the client driver exited with {status} after its figures)")
    r = events["result"]
    cpu = events["stopping"]["tree_cpu"] - events["window"]["tree_cpu"]
    return {"cpu_per_min": cpu * 60.0 / r["seconds"], "dropped": r["dropped"],
            "lagged": r["lagged"], "rss_mb": tree.peak_rss / 2**20,
            "pss_mb": tree.peak_pss / 2**20, "kbs": r["kbs"], "frames": r["frames"],
            "processes": tree.peak_count, "cpu_total": usage.ru_utime + usage.ru_stime
            }, events


def run_engine(work, url, clip, seconds, kbps):
    log = os.path.join(work, "engine.log")
    lines, tree, _, status = run_sampled(
        [ENGINE_DRIVER, url + "/", "engine", clip, str(seconds), str(kbps)],
        isolated_env(work, "engine"), log, seconds + 300)
    if status != 0 or not lines:
        sys.exit(f"the engine-only driver failed with {status}:\n{tail(log)}")
    r = json.loads(lines[-1])
    return {"cpu_per_min": r["cpu_seconds"] * 60.0 / r["seconds"], "dropped": r["dropped"],
            "lagged": r["lagged"], "rss_mb": tree.peak_rss / 2**20,
            "pss_mb": tree.peak_pss / 2**20, "kbs": r["kbs"], "frames": r["frames"],
            "processes": tree.peak_count}


def verdict(ok):
    return "ok" if ok else "MISSED"


def report(client, engine, first_bytes_s, size):
    rows = [("CPU seconds per minute", "cpu_per_min", "{:.1f}"),
            ("peak RSS, tree sum (MB)", "rss_mb", "{:.0f}"),
            ("peak PSS, tree sum (MB)", "pss_mb", "{:.0f}"),
            ("processes in tree", "processes", "{}"),
            ("dropped frames", "dropped", "{}"),
            ("render-lagged frames", "lagged", "{}"),
            ("frames sent", "frames", "{}"),
            ("measured kbps", "kbs", "{:.0f}")]
    targets = {
        "cpu_per_min": f"<= {CPU_TARGET:.2f}x " + verdict(
            client["cpu_per_min"] <= CPU_TARGET * engine["cpu_per_min"]),
        "rss_mb": f"< {RSS_TARGET_MB} " + verdict(client["rss_mb"] < RSS_TARGET_MB),
        "dropped": "0 " + verdict(client["dropped"] == 0),
    }
    print(f"{'':26}{'client':>10}{'engine':>10}{'ratio':>8}   target")
    for label, key, fmt in rows:
        print(f"{label:26}{fmt.format(client[key]):>10}{fmt.format(engine[key]):>10}"
              f"{ratio(client[key], engine[key]):>8}   {targets.get(key, '')}")
    shown = f"{first_bytes_s:.2f} s" if first_bytes_s is not None else "not seen"
    print(f"enter to first stream bytes: {shown}; the client's stream announced {size}")


def build():
    done = subprocess.run(["cmake", "--build", BUILD, "--target", "bench_room", "bench_stream"],
                          capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(done.stdout + done.stderr)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--seconds", type=int, default=60)
    parser.add_argument("--kbps", type=int, default=2500)
    args = parser.parse_args()
    build()
    work = tempfile.mkdtemp(prefix="bench_room.")
    helpers = start_display()
    started = []
    try:
        nginx, rtmp_port, stat_url = start_nginx(work)
        started.append(nginx)
        demo, demo_url = start_demo_service(rtmp_port, stat_url)
        started.append(demo)
        clip = os.path.join(work, "pattern.mp4")
        make_clip(clip)
        print(f"streaming {args.seconds} s of 1280x720 30 fps at {args.kbps} kbps video + "
              f"160 kbps audio to rtmp://127.0.0.1:{rtmp_port}/live; service {demo_url}",
              flush=True)
        watch = FirstBytes(stat_url)
        watch.start()
        client, events = run_client(work, demo_url, clip, args.seconds, args.kbps)
        watch.done.set()
        key = events.get("live", {}).get("key")
        first = watch.seen.get(key)
        first_bytes_s = first - events["entered"]["ms"] / 1000.0 if first else None
        engine = run_engine(work, f"rtmp://127.0.0.1:{rtmp_port}/live", clip, args.seconds,
                            args.kbps)
        report(client, engine, first_bytes_s, watch.sizes.get(key, "no video size"))
    finally:
        for p in reversed(started):
            if p.stdin:
                p.stdin.close()
            p.terminate()
            p.wait()
        for p in helpers:
            p.terminate()
            p.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
