#!/usr/bin/env python3
"""Start-up time and memory of the installed client against the demo service.

    python3 tools/bench_startup.py [--runs 5] [--build-dir build]

Each run starts the client twice with one fresh home: first never signed in (process start
to the sign-in page painted; the demo page then signs in by itself), then signed in today
with the cookies the first start kept (process start to the filled task list). It prints the
median and the spread of each time, and the peak resident memory of the client and of its
browser processes. Uses the X display in DISPLAY, or a private Xvfb when there is none.
"""
import argparse
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SAMPLE_BASE = "http://127.0.0.1:18650/"
TRACE = re.compile(r"^orblive-trace (\S+) (\d+)$")


def parse_args():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--runs", type=int, default=5)
    p.add_argument("--build-dir", default=os.path.join(ROOT, "build"))
    p.add_argument("--timeout", type=float, default=60.0, help="seconds per start")
    return p.parse_args()


def install(build_dir, prefix):
    subprocess.run(["cmake", "--build", build_dir, "--target", "orblive"], check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--install", build_dir, "--prefix", prefix], check=True,
                   stdout=subprocess.DEVNULL)


def start_service(config):
    service = subprocess.Popen(
        [sys.executable, os.path.join(ROOT, "tools", "demo_service.py"), "--port", "0",
         "--auto-sign-in", "--config", config],
        stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    port = int(service.stdout.readline())
    return service, "http://127.0.0.1:%d/" % port


def point_at(prefix, base):
    path = os.path.join(prefix, "data", "network.json")
    with open(path, encoding="utf-8") as f:
        text = f.read()
    with open(path, "w", encoding="utf-8") as f:
        f.write(text.replace(SAMPLE_BASE, base))


def start_display():
    if os.environ.get("DISPLAY"):
        return None
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1920x1080x24",
                             "-nolisten", "tcp"], stdout=subprocess.PIPE, text=True)
    os.environ["DISPLAY"] = ":" + xvfb.stdout.readline().strip()
    return xvfb


def descendants(pid):
    out = subprocess.run(["ps", "-e", "-o", "pid=,ppid="], capture_output=True, text=True)
    children = {}
    for line in out.stdout.split("\n"):
        if line.strip():
            child, parent = map(int, line.split())
            children.setdefault(parent, []).append(child)
    found, todo = [], [pid]
    while todo:
        for child in children.get(todo.pop(), []):
            found.append(child)
            todo.append(child)
    return found


def peak_kb(pid):
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def client_env(home):
    env = dict(os.environ, HOME=home, ORBLIVE_STARTUP_TRACE="1")
    for name in ("XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME"):
        env[name] = os.path.join(home, name)
    runtime = os.path.join(home, "runtime")
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    env["XDG_RUNTIME_DIR"] = runtime
    if os.geteuid() == 0:
        env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
    return env


def run_client(prefix, home, events, timeout):
    """Seconds from process start to each trace event in `events`, and the peak memory (kB)
    of the client and of its browser processes once the last one was seen."""
    started = time.time()
    client = subprocess.Popen([os.path.join(prefix, "orblive")], cwd=prefix, env=client_env(home),
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    seen = {}
    try:
        deadline = started + timeout
        while len(seen) < len(events) and time.time() < deadline:
            line = client.stderr.readline()
            if not line:
                break
            match = TRACE.match(line.strip())
            if match and match.group(1) in events:
                seen[match.group(1)] = int(match.group(2)) / 1000.0 - started
        missing = [e for e in events if e not in seen]
        if missing:
            raise RuntimeError("no %s within %.0f s" % (", ".join(missing), timeout))
        time.sleep(1.0)  # let the page settle before reading the peaks
        browser = sum(peak_kb(p) for p in descendants(client.pid))
        return seen, peak_kb(client.pid), browser
    finally:
        # A clean end keeps the browser's cookies and the sign-in date for the next start.
        client.send_signal(signal.SIGTERM)
        try:
            client.communicate(timeout=20)
        except subprocess.TimeoutExpired:
            client.kill()
            client.communicate()


def report(name, values, unit="s", scale=1.0):
    vals = [v * scale for v in values]
    print("%-34s median %8.2f %s   min %8.2f   max %8.2f   (n=%d)" % (
        name, statistics.median(vals), unit, min(vals), max(vals), len(vals)))


def main():
    args = parse_args()
    work = tempfile.mkdtemp(prefix="orblive-bench-")
    xvfb = start_display()
    service = None
    try:
        prefix = os.path.join(work, "install")
        install(args.build_dir, prefix)
        service, base = start_service(os.path.join(prefix, "data", "config.json"))
        point_at(prefix, base)
        cold, warm, client_mem, browser_mem = [], [], [], []
        for run in range(args.runs):
            home = os.path.join(work, "home%d" % run)
            os.makedirs(home)
            # The demo page signs in by itself, so the first start ends on the list too;
            # the peaks are read on the second start, which shows the list at once.
            times, _, _ = run_client(prefix, home, ("sign-in-page", "task-list"), args.timeout)
            cold.append(times["sign-in-page"])
            times, c, b = run_client(prefix, home, ("task-list",), args.timeout)
            warm.append(times["task-list"])
            client_mem.append(c)
            browser_mem.append(b)
            print("run %d: sign-in page %.2f s, task list (signed in today) %.2f s" % (
                run + 1, cold[-1], warm[-1]), flush=True)
        report("start to sign-in page painted", cold)
        report("start to task list (signed in)", warm)
        report("client peak RSS (signed in)", client_mem, "MB", 1 / 1024)
        report("browser processes peak RSS (sum)", browser_mem, "MB", 1 / 1024)
    finally:
        if service:
            service.terminate()
        if xvfb:
            xvfb.terminate()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
