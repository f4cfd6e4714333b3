#!/usr/bin/env python3
"""Live-room cost: the client, the engine-only driver, bare libobs and ffmpeg, side by side.

Four streamers push the same looping 1280x720 30 fps clip to a local nginx RTMP server for the
given time, one after the other and in interleaved rounds (A, B, C, D, A, B, ...) so that a
busy machine weighs on all alike:
  client  the whole client (tools/bench_room: main window, demo service sign-in, the first
          task's room with its preview and chat page, the clip as the scene);
  engine  the engine-only driver (tools/bench_stream);
  bare    the same stream written straight on libobs (tools/bench_bare);
  ffmpeg  ffmpeg decoding the clip and encoding it with the same x264 settings.
Prints per run and on average the CPU seconds per minute of stream and the peak memory of the
whole process tree (the client's browser processes included), dropped and render-lagged
frames, the ratios against the targets, and the time from pressing the task's enter button to
the first stream bytes at the server.

    python3 tools/bench_room.py [--seconds 60] [--kbps 2500] [--rounds 2]
                                [--only client,engine,bare,ffmpeg]
                                [--variant NAME=SETTING[,SETTING...]]...

A variant is a set of engine settings tried on every studio run of a round: profile keys
("Video/GPUConversion=false", "Video/ColorFormat=I420") and environment variables
("env:LP_NUM_THREADS=1"); "Bench/Preview=off" hides the client's preview. Without variants
the settings the program ships with are measured.

Needs what scripts/setup installs and the project's build (build/, or ORB_BUILD_DIR).
"""
import argparse
import json
import os
import queue
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from bench_stream import (BUILD, ROOT, free_port, make_clip, ratio, run_peer,  # noqa: E402
                          start_display, stop_all, wait_listening)

ROOM_DRIVER = os.path.join(BUILD, "tools", "bench_room")
BARE_DRIVER = os.path.join(BUILD, "tools", "bench_bare")
ENGINE_DRIVER = os.path.join(BUILD, "tools", "bench_stream")
TICK = os.sysconf("SC_CLK_TCK")
PAGE = os.sysconf("SC_PAGE_SIZE")
SAMPLE_S = 0.5
CPU_TARGET = 1.15        # client / engine-only
BARE_TARGET = 1.05       # engine-only / bare libobs
FFMPEG_TARGET = 2.0      # client / ffmpeg
LAG_TARGET = 0.01        # render-lagged share of the frames, in the room
RSS_TARGET_MB = 600
RUNNERS = ("client", "engine", "bare", "ffmpeg")
# What the studio ships with beyond libobs's own defaults; the bare program gets the same.
SHIPPED = []


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


def figures(r, tree=None):
    """One run's figures from a driver's result line (and its sampled process tree)."""
    rendered = r.get("rendered") or r["seconds"] * 30
    out = {"cpu_per_min": r["cpu_seconds"] * 60.0 / r["seconds"], "dropped": r["dropped"],
           "lagged": r["lagged"], "lag_pct": 100.0 * r["lagged"] / rendered,
           "distinct_fps": (rendered - r["lagged"]) / r["seconds"],
           # Steadier than the totals on a busy machine: a starved run composes fewer frames.
           "ms_per_frame": 1000.0 * r["cpu_seconds"] / max(1, rendered - r["lagged"]),
           "kbs": r["kbs"], "frames": r["frames"]}
    if tree:
        out.update(rss_mb=tree.peak_rss / 2**20, pss_mb=tree.peak_pss / 2**20,
                   processes=tree.peak_count)
    else:
        out.update(rss_mb=r["peak_rss_kb"] / 1024.0, pss_mb=0.0, processes=1)
    return out


def run_client(work, home, url, clip, seconds, kbps, settings, env, driver=ROOM_DRIVER):
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
    _, tree, _, status = run_sampled(
        [driver, url, clip, str(seconds), str(kbps)] + settings,
        dict(isolated_env(work, home), **env), log, seconds + 300, on_line)
    if "result" not in events:
        sys.exit(f"the client driver failed with {status}:\n{tail(log)}")
    if status != 0:
        print(f"(the client driver exited with {status} after its figures)")
    r = dict(events["result"])
    r["cpu_seconds"] = events["stopping"]["tree_cpu"] - events["window"]["tree_cpu"]
    return figures(r, tree), events


def run_driver(work, name, home, cmd, env):
    log = os.path.join(work, f"{name}.log")
    lines, tree, _, status = run_sampled(cmd, dict(isolated_env(work, home), **env), log,
                                         600)
    if status != 0 or not lines:
        sys.exit(f"the {name} driver failed with {status}:\n{tail(log)}")
    results = [line for line in lines if line.startswith("{")]
    if not results:
        sys.exit(f"the {name} driver printed no figures:\n{tail(log)}")
    return figures(json.loads(results[-1]), tree)


def parse_variant(text):
    """"name=Video/Key=v,env:NAME=v" -> (name, profile settings, environment)."""
    name, _, rest = text.partition("=")
    settings, env = [], {}
    for item in filter(None, rest.split(",")):
        if item.startswith("env:"):
            key, _, value = item[4:].partition("=")
            env[key] = value
        else:
            settings.append(item)
    return name, settings, env


def mean(values):
    return sum(values) / len(values) if values else 0.0


ROWS = [("CPU s per minute", "cpu_per_min", "{:.1f}"),
        ("render-lagged frames", "lagged", "{:.0f}"),
        ("render-lagged %", "lag_pct", "{:.2f}"),
        ("distinct frames/s", "distinct_fps", "{:.1f}"),
        ("CPU ms per composed frame", "ms_per_frame", "{:.0f}"),
        ("dropped frames", "dropped", "{:.0f}"),
        ("peak RSS, tree (MB)", "rss_mb", "{:.0f}"),
        ("peak PSS, tree (MB)", "pss_mb", "{:.0f}"),
        ("measured kbps", "kbs", "{:.0f}"),
        ("frames sent", "frames", "{:.0f}")]


def verdict(ok):
    return "ok" if ok else "MISSED"


def report(results, variants, runners):
    """results[(variant, runner)] is the list of each round's figures."""
    for variant, _, _ in variants:
        print(f"\n== {variant}: each round, then the mean")
        print(f"{'':26}" + "".join(f"{r:>22}" for r in runners))
        avg = {}
        for label, key, fmt in ROWS:
            cells = []
            for runner in runners:
                runs = [f[key] for f in results[(variant, runner)]]
                avg[(runner, key)] = mean(runs)
                each = " / ".join(fmt.format(v) for v in runs)
                cells.append(f"{each} ({fmt.format(mean(runs))})")
            print(f"{label:26}" + "".join(f"{c:>22}" for c in cells))
        cpu = {r: avg[(r, "cpu_per_min")] for r in runners}
        lines = []
        if "client" in cpu and "engine" in cpu:
            ok = cpu["client"] <= CPU_TARGET * cpu["engine"]
            lines.append(f"client/engine CPU {ratio(cpu['client'], cpu['engine'])} "
                         f"(<= {CPU_TARGET}: {verdict(ok)})")
        if "engine" in cpu and "bare" in cpu:
            ok = cpu["engine"] <= BARE_TARGET * cpu["bare"]
            lines.append(f"engine/bare CPU {ratio(cpu['engine'], cpu['bare'])} "
                         f"(<= {BARE_TARGET}: {verdict(ok)})")
        for who in ("client", "engine", "bare"):
            if who in cpu and "ffmpeg" in cpu:
                ok = cpu[who] <= FFMPEG_TARGET * cpu["ffmpeg"]
                lines.append(f"{who}/ffmpeg CPU {ratio(cpu[who], cpu['ffmpeg'])}" +
                             (f" (<= {FFMPEG_TARGET}: {verdict(ok)})" if who == "client" else ""))
        if "client" in cpu:
            lag = avg[("client", "lag_pct")] / 100.0
            lines.append(f"client render-lagged {100 * lag:.2f} % (< {100 * LAG_TARGET:.0f} %: "
                         f"{verdict(lag < LAG_TARGET)}); peak RSS "
                         f"{avg[('client', 'rss_mb')]:.0f} MB (< {RSS_TARGET_MB}: "
                         f"{verdict(avg[('client', 'rss_mb')] < RSS_TARGET_MB)}); dropped "
                         f"{avg[('client', 'dropped')]:.0f}")
        for line in lines:
            print("  " + line)
    print("(ffmpeg's render-lagged column counts its duplicated frames)")


def build(runners):
    targets = {"client": "bench_room", "engine": "bench_stream", "bare": "bench_bare"}
    wanted = [targets[r] for r in runners if r in targets]
    if not wanted:
        return
    done = subprocess.run(["cmake", "--build", BUILD, "--target"] + wanted,
                          capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(done.stdout + done.stderr)


class Bench:
    def __init__(self, args, work, clip, rtmp_port, demo_url, stat_url):
        self.args, self.work, self.clip = args, work, clip
        self.rtmp = f"rtmp://127.0.0.1:{rtmp_port}/live"
        self.demo_url, self.stat_url = demo_url, stat_url
        self.first_bytes = []
        self.sizes = set()
        self.serial = 0

    def run(self, runner, settings, env):
        a = self.args
        common = [self.clip, str(a.seconds), str(a.kbps)]
        self.serial += 1
        # Every run starts from a fresh home: the studio keeps its scenes between starts.
        key = f"{runner}{self.serial}"
        if runner in ("client", "baseline"):
            watch = FirstBytes(self.stat_url)
            watch.start()
            driver = a.baseline if runner == "baseline" else ROOM_DRIVER
            result, events = run_client(self.work, key, self.demo_url, self.clip, a.seconds,
                                        a.kbps, settings, env, driver)
            watch.done.set()
            stream = events.get("live", {}).get("key")
            if watch.seen.get(stream):
                self.first_bytes.append(watch.seen[stream] - events["entered"]["ms"] / 1000.0)
            self.sizes.add(watch.sizes.get(stream, "no video size"))
            return result
        if runner == "engine":
            return run_driver(self.work, runner, key,
                              [ENGINE_DRIVER, self.rtmp + "/", key] + common + settings, env)
        if runner == "bare":
            return run_driver(self.work, runner, key,
                              [BARE_DRIVER, self.rtmp + "/", key] + common + SHIPPED + settings,
                              env)
        peer = run_peer(self.rtmp, self.clip, a.seconds, a.kbps)
        peer.update(lag_pct=100.0 * peer["lagged"] / max(1, peer["frames"]), pss_mb=0.0,
                    distinct_fps=(peer["frames"] - peer["lagged"]) / a.seconds,
                    ms_per_frame=1000.0 * peer["cpu_per_min"] * a.seconds / 60.0 /
                    max(1, peer["frames"] - peer["lagged"]))
        return peer


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--seconds", type=int, default=60)
    parser.add_argument("--kbps", type=int, default=2500)
    parser.add_argument("--rounds", type=int, default=2)
    parser.add_argument("--only", default=",".join(RUNNERS),
                        help="which of client, engine, bare, ffmpeg to run")
    parser.add_argument("--baseline", metavar="DRIVER",
                        help="another build's room driver, run as a fifth streamer (before/after)")
    parser.add_argument("--variant", action="append", default=[],
                        help="NAME=SETTING,... tried on the studio runs (repeatable)")
    args = parser.parse_args()
    runners = [r for r in RUNNERS if r in args.only.split(",")]
    if args.baseline:
        runners.insert(0, "baseline")
    variants = [parse_variant(v) for v in args.variant] or [("as shipped", [], {})]
    build(runners)
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
              f"160 kbps audio to rtmp://127.0.0.1:{rtmp_port}/live; service {demo_url}; "
              f"{args.rounds} interleaved rounds", flush=True)
        bench = Bench(args, work, clip, rtmp_port, demo_url, stat_url)
        results = {}
        for round_no in range(1, args.rounds + 1):
            for name, settings, env in variants:
                # ffmpeg knows nothing of the engine's settings: once per round is enough.
                for runner in runners:
                    if runner == "ffmpeg" and name != variants[0][0]:
                        results[(name, runner)] = results[(variants[0][0], runner)]
                        continue
                    fig = bench.run(runner, settings, env)
                    results.setdefault((name, runner), []).append(fig)
                    print(f"round {round_no} {name} {runner}: "
                          f"{fig['cpu_per_min']:.1f} s/min, lagged {fig['lagged']} "
                          f"({fig['lag_pct']:.2f} %), dropped {fig['dropped']}, "
                          f"RSS {fig['rss_mb']:.0f} MB", flush=True)
        report(results, variants, runners)
        if bench.first_bytes:
            shown = ", ".join(f"{s:.2f} s" for s in bench.first_bytes)
            print(f"enter to first stream bytes: {shown}; the client's stream announced "
                  f"{', '.join(sorted(bench.sizes))}")
        print("(one run on a shared machine: compare within it, not across runs)")
    finally:
        stop_all(list(reversed(started)) + helpers, work)


if __name__ == "__main__":
    main()
